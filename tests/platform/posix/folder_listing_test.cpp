// The POSIX listing on real folders: a failure part-way that is told after the entries
// before it, and the order of deletion. (A deletion that looks at the file as it is now:
// tests/app/batch_deletion_test.cpp, on either target and any number of threads.)
#include "platform/folder_listing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
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

// Entries handed over in any order come back in ascending order of the files' own inode
// numbers, which is what keeps a large deletion local on ext4 and tmpfs.
TEST(FolderListing, OrdersEntriesForDeletionByInodeNumber) {
  TestFolder folder;
  for (int i = 0; i < 50; ++i) folder.Add("trace" + std::to_string(i) + ".20100101.log");
  FolderListing listing;
  std::vector<ListedEntry> batch;
  ASSERT_TRUE(listing.Open(folder.Text(), "*.log").done() && listing.NextBatch(&batch).done());
  std::reverse(batch.begin(), batch.end());
  listing.OrderForDeletion(&batch);
  std::vector<ino_t> inodes;
  for (const ListedEntry& entry : batch) {
    struct stat info;
    ASSERT_EQ(stat((folder.Path() / std::string(entry.name)).c_str(), &info), 0) << entry.name;
    inodes.push_back(info.st_ino);
  }
  EXPECT_EQ(inodes.size(), 50u);
  EXPECT_TRUE(std::is_sorted(inodes.begin(), inodes.end()));
}

}  // namespace
}  // namespace tarnwell::platform
