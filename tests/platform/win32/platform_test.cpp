// What differs by target, on Windows: folders named in the forms the file API takes and
// changed by someone else while they are swept, the local clock and the real registry
// (Wine's).
#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>
#include <set>

#include "general/calendar.h"
#include "general/date_stamp.h"
#include "general/registry.h"
#include "platform/folder_listing.h"
#include "platform/win32/extended_path.h"
#include "tests/test_folder.h"

namespace tarnwell {
namespace {

using namespace std::string_literals;

// Shares cannot be reached under Wine ("\\?\UNC\localhost\..." is not there): their form is
// checked here, the sweeps use drive paths. "c:", the root, is swept in the black-box runs.
TEST(WindowsFolderNames, TakeThePrefixedForm) {
  const struct {
    const wchar_t* folder;
    const wchar_t* extended;
  } rows[] = {
      {LR"(\\server\share\logs)", LR"(\\?\UNC\server\share\logs\)"},
      {L"C:/a//b/../c", LR"(\\?\C:\a\c\)"},
  };
  for (const auto& row : rows) EXPECT_EQ(platform::ExtendedFolderPath(row.folder), row.extended);
}

// Someone renames the swept folder, or the folder above it, and moves another folder with the
// same names into its place (Wine makes no junctions; by path that is the same attack).
TEST(FolderListingOnWindows, DeletesNothingOutsideTheOpenedFolderWhenItIsSwappedMidSweep) {
  for (const bool above : {false, true}) {
    const TestFolder swept("in/logs"), outside("in/logs");
    const Names names = {LogName("a", -30), LogName("b", -30)};
    for (const TestFolder* folder : {&swept, &outside}) folder->Create(names);
    platform::FolderListing listing;
    std::vector<platform::ListedEntry> batch;
    ASSERT_TRUE(listing.Open(swept.Text(), "*.log").done() && listing.NextBatch(&batch).done());
    const fs::path target = above ? swept.Path().parent_path() : swept.Path();
    const fs::path replacement = above ? outside.Path().parent_path() : outside.Path();
    const bool swapped = MoveFileW(target.c_str(), (target.wstring() + L"-moved").c_str()) &&
                         MoveFileW(replacement.c_str(), target.c_str());
    // The folder itself is held without delete sharing; Wine lets the folder above it move.
    EXPECT_TRUE(above || !swapped) << "renamed while swept";
    for (const platform::ListedEntry& entry : batch) listing.DeleteEntry(entry);
    EXPECT_EQ((swapped ? swept : outside).Entries(), names) << above << ": outside files deleted";
  }
}

// After it was listed, one entry is made hidden and another is held open without delete
// sharing: both stay, the one held open counted as in use, and the sweep goes on to the next.
TEST(FolderListingOnWindows, LeavesEntriesHiddenOrHeldOpenSinceTheyWereListed) {
  const TestFolder folder;
  const std::string hidden = LogName("a", -30), held = LogName("b", -30);
  folder.Create({hidden, held, LogName("c", -30)});
  platform::FolderListing listing;
  std::vector<platform::ListedEntry> batch;
  ASSERT_TRUE(listing.Open(folder.Text(), "*.log").done() && listing.NextBatch(&batch).done());
  SetFileAttributesW((folder.Path() / hidden).c_str(), FILE_ATTRIBUTE_HIDDEN);
  HANDLE holder = CreateFileW((folder.Path() / held).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, 0, OPEN_EXISTING, 0, 0);
  std::multiset<platform::DeletionFailure> kinds;
  for (const platform::ListedEntry& entry : batch) {
    if (const platform::OsResult gone = listing.DeleteEntry(entry); gone.failed())
      kinds.insert(platform::KindOfFailure(gone));
  }
  CloseHandle(holder);
  EXPECT_EQ(folder.Entries(), (Names{hidden, held}));
  EXPECT_EQ(kinds,
            (std::multiset{platform::DeletionFailure::kOther, platform::DeletionFailure::kInUse}));
}

// The C runtime reaches the time zone by its own path.
TEST(LocalClock, AgreesWithTheCRuntime) {
  const std::time_t now = std::time(nullptr);
  const DateStamp stamp = CurrentStamp(false);
  const std::tm t = *std::localtime(&now);
  const double day = DaySerialOfDate(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
  // Read within the two seconds after `now`, across midnight too.
  EXPECT_NEAR((stamp.DaySerial - day) * 86400 + stamp.Seconds,
              t.tm_hour * 3600 + t.tm_min * 60 + t.tm_sec + 1.0, 1.0);
}

// Written through WOW6432Node, which is the 32-bit view the program reads, where
// installations of the earlier 32-bit program keep the value. On Linux the same lookup
// runs over .reg files: see posix/platform_test.cpp.
TEST(GetRegistryString, ReadsTextUpToItsFirstNulAndGivesEmptyForOtherTypes) {
  const std::string kDefault = "C:\\Fallback", kKey = "SOFTWARE\\TarnwellTest";
  // Data byte for byte as stored; the missing value comes first, before any DebugPath exists.
  const struct {
    const wchar_t* name;
    DWORD type;
    std::wstring data;
    std::string read;
  } rows[] = {
      {L"OtherPath", REG_SZ, L"D:\\Logs\0"s, kDefault},
      {L"DebugPath", REG_SZ, L"D:\\J\u00f6rg\\\u65e5\0more\0"s, "D:\\J\xc3\xb6rg\\\xe6\x97\xa5"},
      {L"DebugPath", REG_SZ, L"\0"s, ""},
      {L"DebugPath", REG_SZ, L"D:\\Logs", "D:\\Logs"},
      {L"DebugPath", REG_EXPAND_SZ, L"%TEMP%\0"s, ""},
  };
  for (const auto& row : rows) {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\TarnwellTest", row.name, row.type,
                    row.data.data(), row.data.size() * 2);
    EXPECT_EQ(GetRegistryString(platform::kHkeyLocalMachine, kKey, "DebugPath", kDefault), row.read)
        << row.type << " " << row.read;
  }
  // No key at all.
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\TarnwellTest");
  EXPECT_EQ(GetRegistryString(platform::kHkeyLocalMachine, kKey, "DebugPath", kDefault), kDefault);
}

}  // namespace
}  // namespace tarnwell
