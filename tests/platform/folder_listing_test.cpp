// The listing on real folders, on both targets: batches cut by a byte budget miss no file
// and repeat none while their files are deleted, and one listing reads a folder twice over;
// and the guard that keeps a deletion inside its folder.
#include "platform/folder_listing.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "platform/batch_arena.h"

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

// A name that leads out of the folder, or that a NUL cuts short, names no entry of it.
TEST(IsEntryName, RefusesWhatWouldLeaveTheFolderOrBeCutShort) {
  using namespace std::string_literals;
  const struct {
    std::string name;
    std::string_view separators;
    bool entry;
  } rows[] = {
      {"a.20100101.log", "/", true},
      {"a\\b.20100101.log", "/", true},
      {"a\\b.20100101.log", "\\/", false},
      {"a/b.20100101.log", "/", false},
      {"a/b.20100101.log", "\\/", false},
      {"a\0.20100101.log"s, "/", false},
      {"..", "/", false},
      {".", "\\/", false},
      {"", "/", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(IsEntryName(row.name, row.separators), row.entry)
        << row.name << " " << row.separators;
  }
}

}  // namespace
}  // namespace tarnwell::platform
