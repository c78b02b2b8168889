// The listing on real folders, on both targets: batches cut by a byte budget miss no file
// and repeat none while their files are deleted, and one listing reads a folder twice over.
#include "platform/folder_listing.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/test_folder.h"

namespace tarnwell::platform {
namespace {

TEST(FolderListing, ListsEveryFileOnceAcrossBatchesAndAgainWhenReopened) {
  TestFolder folder;
  Names names;
  // More directory records than one read of the folder takes, in batches of a few dozen.
  for (int i = 0; i < 450; ++i) {
    names.insert("trace" + std::to_string(i) + std::string(40, 'x') + "\xc3\xa9.20100101.log");
  }
  folder.Create(names);
  FolderListing listing(2048);
  for (const bool remove : {false, true}) {
    ASSERT_TRUE(listing.Open(folder.Text(), "*.log").done());
    Names listed;
    int batches = 0;
    std::vector<ListedEntry> batch;
    for (; listing.NextBatch(&batch).done(); ++batches) {
      for (const ListedEntry& entry : batch) {
        EXPECT_TRUE(listed.insert(std::string(entry.name)).second) << entry.name << " twice";
        EXPECT_TRUE(!remove || listing.DeleteEntry(entry).done()) << entry.name;
      }
    }
    EXPECT_GE(batches, 10) << remove;
    EXPECT_EQ(listed, names) << remove;
  }
  EXPECT_TRUE(folder.Entries().empty());
}

}  // namespace
}  // namespace tarnwell::platform
