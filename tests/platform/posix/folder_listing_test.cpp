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

// What stands under the listed name now is looked at: only a regular file with a write bit
// goes. The name was judged, so a regular file that took it goes too.
TEST(FolderListing, DeletesOnlyTheListedFileAsItIsNow) {
  using Change = void (*)(const fs::path&);
  const struct {
    const char* change;
    Change apply;
    OsResult::Kind result;
    std::size_t left;
  } rows[] = {
      {"vanished", [](const fs::path& file) { fs::remove(file); }, OsResult::kNotThere, 0},
      {"another file took its name",
       [](const fs::path& file) {
         std::ofstream(file.string() + "~"), fs::rename(file.string() + "~", file);
       },
       OsResult::kDone, 0},
      {"read-only", [](const fs::path& file) { fs::permissions(file, fs::perms::owner_read); },
       OsResult::kFailed, 1},
      {"a folder took its name",
       [](const fs::path& file) { fs::remove(file), fs::create_directory(file); },
       OsResult::kFailed, 1},
  };
  for (const auto& row : rows) {
    TestFolder folder;
    folder.Add("app.log");
    FolderListing listing;
    std::vector<ListedEntry> batch;
    ASSERT_TRUE(listing.Open(folder.Text(), "*.log").done() && listing.NextBatch(&batch).done());
    row.apply(folder.Path() / "app.log");
    EXPECT_EQ(listing.DeleteEntry(batch.at(0)).kind, row.result) << row.change;
    EXPECT_EQ(folder.Entries().size(), row.left) << row.change;
  }
}

}  // namespace
}  // namespace tarnwell::platform
