// The POSIX listing on real folders: batches that stay bounded and miss nothing while their
// files are deleted, and a deletion that looks at the file as it is now.
#include "platform/folder_listing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/test_folder.h"

namespace tarnwell::platform {
namespace {

constexpr char kPattern[] = "*.????????.log";

TEST(FolderListing, ListsEveryMatchingFileOnceInBoundedBatchesWhileTheyAreDeleted) {
  TestFolder folder;
  Names expected;
  // Long names fill a batch's name storage after some 4,100 entries.
  for (int i = 0; i < 4200; ++i) {
    const std::string name = std::to_string(i) + std::string(236, 'f') + ".20100101.log";
    std::ofstream(folder.Path() / name);
    expected.insert(name);
  }
  folder.Create({".hidden.20100101.log", "notes.txt", "short.2010010.log"});
  fs::create_directory(folder.Path() / "dir.20100101.log");
  fs::create_symlink("f1.20100101.log", folder.Path() / "link.20100101.log");

  FolderListing listing;
  ASSERT_TRUE(listing.Open(folder.Text(), kPattern).done());
  std::vector<ListedEntry> batch;
  Names listed;
  int batches = 0;
  while (listing.NextBatch(&batch).done()) {
    ++batches;
    EXPECT_LE(batch.size(), kMaxBatchNameBytes / 236);
    for (const ListedEntry& entry : batch) {
      EXPECT_TRUE(listed.insert(std::string(entry.name)).second) << entry.name;
      EXPECT_EQ(listing.DeleteEntry(entry).kind, OsResult::kDone) << entry.name;
    }
  }
  EXPECT_GE(batches, 2);
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(folder.Entries(), (Names{".hidden.20100101.log", "notes.txt", "short.2010010.log",
                                     "dir.20100101.log", "link.20100101.log"}));
}

TEST(FolderListing, DeletesOnlyTheListedFileAsItIsNow) {
  const std::string kName = "app.20100101.log";
  const fs::perms kWriteBits =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  const struct {
    const char* change;
    std::function<void(const fs::path&)> apply;
    OsResult::Kind result;
    bool stays;
  } rows[] = {
      {"none", [](const fs::path&) {}, OsResult::kDone, false},
      {"vanished", [](const fs::path& file) { fs::remove(file); }, OsResult::kNotThere, false},
      {"replaced by another file",
       [](const fs::path& file) {
         std::ofstream(file.string() + ".new");
         fs::rename(file.string() + ".new", file);
       },
       OsResult::kNotThere, true},
      {"read-only",
       [&](const fs::path& file) { fs::permissions(file, kWriteBits, fs::perm_options::remove); },
       OsResult::kFailed, true},
      {"owner write bit only",
       [&](const fs::path& file) { fs::permissions(file, fs::perms::owner_write); },
       OsResult::kDone, false},
      {"replaced by a folder",
       [](const fs::path& file) {
         fs::remove(file);
         fs::create_directory(file);
       },
       OsResult::kFailed, true},
      {"replaced by a link",
       [](const fs::path& file) {
         fs::remove(file);
         fs::create_symlink("elsewhere", file);
       },
       OsResult::kFailed, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.change);
    TestFolder folder;
    folder.Add(kName);
    FolderListing listing;
    ASSERT_TRUE(listing.Open(folder.Text(), kPattern).done());
    std::vector<ListedEntry> batch;
    ASSERT_TRUE(listing.NextBatch(&batch).done());
    ASSERT_EQ(batch.size(), 1u);
    row.apply(folder.Path() / kName);
    EXPECT_EQ(listing.DeleteEntry(batch[0]).kind, row.result);
    EXPECT_EQ(folder.Entries().count(kName), row.stays ? 1u : 0u);
  }
}

}  // namespace
}  // namespace tarnwell::platform
