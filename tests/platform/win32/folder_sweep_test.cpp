// Sweeps of folders named in the forms the file API takes, and of folders changed by
// someone else while they are swept.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/tarnwell_fn.h"
#include "platform/folder_listing.h"
#include "platform/win32/extended_path.h"
#include "platform/win32/wide_string.h"
#include "tests/test_folder.h"

namespace tarnwell {
namespace {

// Shares cannot be reached under Wine ("\\?\UNC\localhost\..." is not there): their form is
// checked here, the sweeps below use drive paths.
TEST(ExtendedFolderPath, NamesTheFolderInPrefixedFormEndingInOneSeparator) {
  const struct {
    const wchar_t *folder, *extended;
  } rows[] = {
      {LR"(\\server\share\logs)", LR"(\\?\UNC\server\share\logs\)"},
      {L"C:/a//b/../c", LR"(\\?\C:\a\c\)"},
      {LR"(\\?\C:\S\\)", LR"(\\?\C:\S\)"},
      {L"c:", LR"(\\?\c:\)"},  // the root, as "c:" "\" "name" names it
  };
  for (const auto& row : rows) EXPECT_EQ(platform::ExtendedFolderPath(row.folder), row.extended);
}

// Made and read through "\\?\" paths: the C runtime behind std::filesystem stops at 260.
void AddFiles(const fs::path& folder, const Names& names) {
  for (const std::string& name : names) {
    CloseHandle(CreateFileW((LR"(\\?\)" + (folder / name).make_preferred().wstring()).c_str(),
                            GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  }
}

Names Left(const fs::path& folder) {
  Names names;
  WIN32_FIND_DATAW data;
  HANDLE find =
      FindFirstFileW((LR"(\\?\)" + (folder / "*.log").make_preferred().wstring()).c_str(), &data);
  for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data))
    names.insert(platform::Narrow(data.cFileName));
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  return names;
}

TEST(SweepFolderOnWindows, SweepsLongPrefixedAndTrailingSeparatorPaths) {
  const std::string old = LogName("trace", -30), young = LogName("trace", 0);
  const std::string long_leaf = std::string(120, 'a') + "/" + std::string(120, 'b');
  const struct {
    std::string leaf, prefix, suffix;
  } rows[] = {
      {long_leaf, "", ""},
      {long_leaf, R"(\\?\)", ""},
      {"s", R"(\\?\)", "\\"},
  };
  for (const auto& row : rows) {
    const TestFolder folder(row.leaf);
    const fs::path path = fs::path(folder.Path()).make_preferred();
    AddFiles(path, {old, young});
    const std::string given = row.prefix + Utf8(path) + row.suffix;
    EXPECT_NO_THROW(EXPECT_EQ(SweepFolder(given, 10), 1) << given) << given;
    EXPECT_EQ(Left(path), Names{young}) << given;
  }
}

// Someone renames the swept folder, or a folder above it, and moves another folder with the
// same names into its place (Wine makes no junctions; by path that is the same attack).
TEST(FolderListingOnWindows, DeletesNothingOutsideTheOpenedFolderWhenItIsSwappedMidSweep) {
  for (const std::string renamed : {"in/logs", "in"}) {
    const TestFolder root;
    const fs::path swept = root.Path() / "in/logs", outside = root.Path() / "out/logs";
    const Names names = {LogName("a", -30), LogName("b", -30), LogName("c", -30)};
    for (const fs::path& folder : {swept, outside}) {
      fs::create_directories(folder);
      AddFiles(folder, names);
    }
    platform::FolderListing listing;
    std::vector<platform::ListedEntry> batch;
    ASSERT_TRUE(listing.Open(Utf8(swept), "*.log").done() && listing.NextBatch(&batch).done());

    const fs::path target = root.Path() / renamed;
    const fs::path replacement = root.Path() / ("out" + renamed.substr(2));
    const bool swapped = MoveFileW(target.c_str(), (root.Path() / "moved").c_str()) &&
                         MoveFileW(replacement.c_str(), target.c_str());
    // The folder itself is held without delete sharing; Wine lets a folder above it move.
    EXPECT_TRUE(renamed != "in/logs" || !swapped) << "renamed while swept";
    for (const platform::ListedEntry& entry : batch) listing.DeleteEntry(entry);

    EXPECT_EQ(Left(swapped ? swept : outside), names) << renamed << ": outside files deleted";
    // Wine deletes on close by the name the file was opened under, and leaves the file
    // when that name now leads elsewhere.
    EXPECT_TRUE(swapped || Left(swept).empty()) << renamed;
  }
}

// After it was listed, one entry is made hidden and another is held open without delete
// sharing: both stay, and the sweep goes on to the next.
TEST(FolderListingOnWindows, LeavesEntriesHiddenOrHeldOpenSinceTheyWereListed) {
  const TestFolder folder;
  const std::string hidden = LogName("a", -30), held = LogName("b", -30);
  folder.Create({hidden, held, LogName("c", -30)});
  platform::FolderListing listing;
  ASSERT_TRUE(listing.Open(folder.Text(), "*.log").done());
  SetFileAttributesW((folder.Path() / hidden).c_str(), FILE_ATTRIBUTE_HIDDEN);
  HANDLE holder =
      CreateFileW((folder.Path() / held).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  int deleted = 0;
  for (std::vector<platform::ListedEntry> batch; listing.NextBatch(&batch).done();) {
    for (const platform::ListedEntry& entry : batch) deleted += listing.DeleteEntry(entry).done();
  }
  CloseHandle(holder);
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(folder.Entries(), (Names{hidden, held}));
}

}  // namespace
}  // namespace tarnwell
