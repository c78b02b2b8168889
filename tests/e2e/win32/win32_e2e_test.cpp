// Black-box runs that only the Windows program has: its message boxes, the default sweep
// of C:\ and the registry folder, and file attributes.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/win32/wide_string.h"
#include "tests/e2e/e2e_folder.h"
#include "tests/e2e/win32/run_tarnwell_win32.h"

namespace tarnwell::e2e {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

std::wstring Program() { return L"\"" + ProgramPath() + L"\" "; }

TEST(MessageBoxes, CarryTheCaptionOnlyOkAndTheRightIcon) {
  TestFolder folder;
  const std::string path = "/Path=" + folder.Text();
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
    const char* text;
    BoxIcon icon;
  };
  const Case cases[] = {
      {{"/DeleteAfterDays=7", path}, 0, "0 Debug files deleted", BoxIcon::kInformation},
      {{"/DeleteAfterDays=0", path},
       2,
       "Usage: Tarnwell.exe /DeleteAfterDays=<NumberOfDays> [/Path=<PathToExamine] [/Silent]",
       BoxIcon::kInformation},
      {{"/DeleteAfterDays=99999999999", path}, 1, "Run-time error '6': Overflow", BoxIcon::kError},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const BoxRun run = RunCommandLine(Program() + ArgumentText(c.arguments));
    EXPECT_EQ(run.exit_code, c.exit_code);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, "Tarnwell");
    EXPECT_EQ(run.boxes[0].text, c.text);
    EXPECT_EQ(run.boxes[0].icon, c.icon);
    EXPECT_TRUE(run.boxes[0].has_only_ok);
  }
}

TEST(MessageBoxes, SilentKeepsAnUnattendedRunFromWaitingOnAnErrorBox) {
  TestFolder folder;
  for (const char* silent : {"/Silent", "x/SILENTium"}) {
    const BoxRun run = RunCommandLine(Program() + ArgumentText({"/DeleteAfterDays=99999999999",
                                                                silent, "/Path=" + folder.Text()}));
    EXPECT_EQ(run.exit_code, 1) << silent;
    EXPECT_TRUE(run.boxes.empty()) << silent;
  }
}

TEST(CommandLine, IsTheTextAfterTheProgramNameQuotedOrNotTrimmed) {
  TestFolder folder;
  const std::wstring path = L"/Path=\"" + platform::Widen(folder.Text()) + L"\"";
  const std::wstring lines[] = {
      L"\"" + ProgramPath() + L"\" /DeleteAfterDays=7 " + path,
      ProgramPath() + L" /DeleteAfterDays=7 " + path,
      L"\"" + ProgramPath() + L"\"   /DeleteAfterDays=7   " + path + L"   ",
      L"\"" + ProgramPath() + L"\"/DeleteAfterDays=7 " + path,
  };
  for (const std::wstring& line : lines) {
    SCOPED_TRACE(platform::Narrow(line));
    folder.Add(LogName("old", -8));
    const BoxRun run = RunCommandLine(line);
    EXPECT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, "1 Debug files deleted");
    EXPECT_TRUE(folder.Entries().empty());
  }
}

TEST(Sweep, LeavesHiddenAndSystemFilesAlone) {
  TestFolder folder;
  const std::pair<const char*, DWORD> files[] = {
      {"hidden", FILE_ATTRIBUTE_HIDDEN},
      {"system", FILE_ATTRIBUTE_SYSTEM},
  };
  for (const auto& [stem, attribute] : files) {
    const std::wstring file = folder.Add(LogName(stem, -30)).wstring();
    SetFileAttributesW(file.c_str(), attribute);
    if ((GetFileAttributesW(file.c_str()) & attribute) == 0) {
      GTEST_SKIP() << "this file system keeps no " << stem << " attribute";
    }
  }
  const Names before = folder.Entries();
  const RunResult run = RunTarnwell({"/DeleteAfterDays=7", "/Path=" + folder.Text()});
  EXPECT_EQ(run.messages, std::vector<std::string>{"0 Debug files deleted"});
  EXPECT_EQ(folder.Entries(), before);
}

// The default sweep reaches outside the test folders: C:\, the registry and C:\DebugFiles.
// Each case sets them up and every trace is removed again afterwards.
class DefaultSweep : public ::testing::Test {
 protected:
  static constexpr wchar_t kKey[] = L"\"HKLM\\SOFTWARE\\Corvane\"";

  void SetUp() override {
    DeleteKey();
    root_old_ = root_ / LogName("tarnwell-e2e-root", -8);
    root_young_ = root_ / LogName("tarnwell-e2e-root", -7);
    root_bad_ = root_ / "tarnwell-e2e-root.99999999.log";
    for (const fs::path& file : {root_old_, root_young_, root_bad_}) Touch(file);
    fallback_created_ = fs::create_directory(fallback_);
    fallback_old_ = fallback_ / LogName("tarnwell-e2e-fallback", -8);
    Touch(fallback_old_);
  }

  void TearDown() override {
    DeleteKey();
    std::error_code ignored;
    for (const fs::path& file : {root_old_, root_young_, root_bad_, fallback_old_}) {
      fs::remove(file, ignored);
    }
    if (fallback_created_) fs::remove_all(fallback_, ignored);
  }

  static void Touch(const fs::path& file) {
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE) << file;
    CloseHandle(handle);
  }

  static void SetDebugPath(const std::string& folder, const wchar_t* view) {
    ASSERT_EQ(RunTool(std::wstring(L"reg add ") + kKey + L" /v DebugPath /d \"" +
                      platform::Widen(folder) + L"\" /f " + view),
              0);
  }

  static void DeleteKey() {
    for (const wchar_t* view : {L"/reg:32", L"/reg:64"}) {
      RunTool(std::wstring(L"reg delete ") + kKey + L" /f " + view);
    }
  }

  // What a default run leaves of C:\ and whether the fallback folder was swept.
  void ExpectRootSwept() const {
    EXPECT_FALSE(fs::exists(root_old_));
    EXPECT_TRUE(fs::exists(root_young_));
    EXPECT_TRUE(fs::exists(root_bad_));
  }

  const fs::path root_ = L"C:\\";
  const fs::path fallback_ = L"C:\\DebugFiles";
  fs::path root_old_, root_young_, root_bad_, fallback_old_;
  bool fallback_created_ = false;
};

TEST_F(DefaultSweep, SweepsTheRootOfCThenTheFolderInThe32BitRegistryView) {
  TestFolder logs("registry logs");
  logs.Add(LogName("old", -8));
  SetDebugPath(logs.Text(), L"/reg:32");
  const RunResult run = RunTarnwell({"/DeleteAfterDays=7"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.messages, std::vector<std::string>{"2 Debug files deleted"});
  ExpectRootSwept();
  EXPECT_TRUE(logs.Entries().empty());
  EXPECT_TRUE(fs::exists(fallback_old_));
}

TEST_F(DefaultSweep, FallsBackToDebugFilesWithoutAValueInThe32BitView) {
  TestFolder logs;
  const std::string named = LogName("old", -8);
  logs.Add(named);
  const std::pair<const char*, void (*)(const std::string&)> setups[] = {
      {"no key", [](const std::string&) {}},
      {"empty value", [](const std::string&) { SetDebugPath("", L"/reg:32"); }},
      {"value only in the 64-bit view",
       [](const std::string& folder) { SetDebugPath(folder, L"/reg:64"); }},
  };
  for (const auto& [setup, prepare] : setups) {
    SCOPED_TRACE(setup);
    DeleteKey();
    prepare(logs.Text());
    Touch(root_old_);
    Touch(fallback_old_);
    const RunResult run = RunTarnwell({"/DeleteAfterDays=7"});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.messages, std::vector<std::string>{"2 Debug files deleted"});
    ExpectRootSwept();
    EXPECT_FALSE(fs::exists(fallback_old_));
    EXPECT_EQ(logs.Entries(), Names{named});
  }
}

TEST_F(DefaultSweep, APathOnTheCommandLineReplacesBothPlaces) {
  TestFolder logs;
  TestFolder given;
  const std::string named = LogName("old", -8);
  logs.Add(named);
  given.Add(LogName("given", -8));
  SetDebugPath(logs.Text(), L"/reg:32");
  const RunResult run = RunTarnwell({"/DeleteAfterDays=7", "/Path=" + given.Text()});
  EXPECT_EQ(run.messages, std::vector<std::string>{"1 Debug files deleted"});
  EXPECT_TRUE(given.Entries().empty());
  EXPECT_EQ(logs.Entries(), Names{named});
  EXPECT_TRUE(fs::exists(root_old_));
  EXPECT_TRUE(fs::exists(fallback_old_));
}

}  // namespace
}  // namespace tarnwell::e2e
