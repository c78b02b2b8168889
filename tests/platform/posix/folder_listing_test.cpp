// The POSIX listing on real folders: a failure part-way that is told after the entries
// before it, and a deletion that looks at the file as it is now.
#include "platform/folder_listing.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/test_folder.h"

namespace tarnwell::platform {
namespace {

// A folder removed while it is read: the entries read before the failure go out first,
// then the failure, never an end that would pass for a folder read whole.
TEST(FolderListing, TellsAFailureAfterTheEntriesReadBeforeIt) {
  TestFolder folder;
  // Some 370 records fill one read of the folder; a batch holds some 200 of them.
  for (int i = 0; i < 400; ++i) {
    folder.Add("trace" + std::to_string(1000 + i) + std::string(40, 'x') + ".20100101.log");
  }
  FolderListing listing(18000);
  std::vector<ListedEntry> batch;
  ASSERT_TRUE(listing.Open(folder.Text(), "*.log").done() && listing.NextBatch(&batch).done());
  fs::remove_all(folder.Path());
  int batches = 0;
  OsResult last;
  while ((last = listing.NextBatch(&batch)).done()) ++batches;
  EXPECT_EQ(batches, 1);
  EXPECT_TRUE(last.failed()) << last.reason;
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
