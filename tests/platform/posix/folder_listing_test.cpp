// The POSIX listing on real folders: batches that miss nothing while their files are
// deleted, and a deletion that looks at the file as it is now.
#include "platform/folder_listing.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/test_folder.h"

namespace tarnwell::platform {
namespace {

TEST(FolderListing, ListsEveryFileOnceAcrossBatchesWhileTheyAreDeleted) {
  TestFolder folder;
  // Long names fill a batch's name storage after some 4,100 entries.
  for (int i = 0; i < 4200; ++i)
    folder.Add(std::to_string(i) + std::string(236, 'f') + ".20100101.log");
  FolderListing listing;
  ASSERT_TRUE(listing.Open(folder.Text(), "*.log").done());
  std::vector<ListedEntry> batch;
  int batches = 0;
  for (; listing.NextBatch(&batch).done(); ++batches) {
    // A name listed twice would not be there the second time.
    for (const ListedEntry& entry : batch) EXPECT_TRUE(listing.DeleteEntry(entry).done());
  }
  EXPECT_GE(batches, 2);
  EXPECT_TRUE(folder.Entries().empty());
}

// Each file is judged as it is when it goes, not as it was listed: a link put under its name
// since, or a read-only mark set since, keeps it.
TEST(FolderListing, LooksAtEachFileAsItIsWhenItGoes) {
  TestFolder folder;
  folder.Create({"link.log", "read-only.log"});
  FolderListing listing;
  std::vector<ListedEntry> batch;
  ASSERT_TRUE(listing.Open(folder.Text(), "*.log").done() && listing.NextBatch(&batch).done());
  fs::remove(folder.Path() / "link.log");
  fs::create_symlink("read-only.log", folder.Path() / "link.log");
  fs::permissions(folder.Path() / "read-only.log", fs::perms::owner_read);
  for (const ListedEntry& entry : batch) EXPECT_TRUE(listing.DeleteEntry(entry).failed());
  EXPECT_EQ(folder.Entries(), (Names{"link.log", "read-only.log"}));
}

}  // namespace
}  // namespace tarnwell::platform
