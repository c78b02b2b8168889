// Black-box runs that only the Linux program has: the registry file, symlinks and folder
// permissions.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "tests/e2e/e2e_folder.h"
#include "tests/e2e/posix/run_tarnwell_posix.h"

namespace tarnwell::e2e {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;
using Lines = std::vector<std::string>;

std::string Utf16Le(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(RegistryFile, NamesTheFolderOfTheDefaultSweep) {
  TestFolder registry;
  TestFolder logs;
  const std::string key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\r\n";
  const std::string value = "\"DebugPath\"=\"" + logs.Text() + "\"\r\n";
  const std::pair<const char*, std::string> files[] = {
      {"REGEDIT4, 8-bit", "REGEDIT4\r\n\r\n" + key + value},
      {"version 5, UTF-16LE",
       Utf16Le("Windows Registry Editor Version 5.00\r\n\r\n" + key + value)},
      {"other case, comment, other values",
       "REGEDIT4\n; machine "
       "settings\n[HKEY_LOCAL_MACHINE\\Software\\corvane]\n\"Other\"=dword:00000001\n"
       "\"debugpath\"=\"" +
           logs.Text() + "\"\n"},
  };
  for (const auto& [kind, bytes] : files) {
    SCOPED_TRACE(kind);
    const fs::path file = registry.Path() / "registry.reg";
    WriteFile(file, bytes);
    const std::string young = LogName("young", -7);
    logs.Add(LogName("old", -8));
    logs.Add(young);
    PosixRunOptions options;
    options.registry_file = file.string();
    const RunResult run = RunTarnwell({"/DeleteAfterDays=7"}, options);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.messages, Lines{"1 Debug files deleted"});
    EXPECT_TRUE(run.errors.empty());
    EXPECT_EQ(logs.Entries(), Names{young});
  }
}

TEST(RegistryFile, IsNotReadWhenThePathIsGiven) {
  TestFolder registry;
  TestFolder named;
  TestFolder given;
  const std::string named_log = LogName("named", -8);
  named.Add(named_log);
  given.Add(LogName("given", -8));
  const fs::path file = registry.Path() / "registry.reg";
  WriteFile(file, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\n\"DebugPath\"=\"" +
                      named.Text() + "\"\n");
  PosixRunOptions options;
  options.registry_file = file.string();
  const RunResult run = RunTarnwell({"/DeleteAfterDays=7", "/Path=" + given.Text()}, options);
  EXPECT_EQ(run.messages, Lines{"1 Debug files deleted"});
  EXPECT_TRUE(given.Entries().empty());
  EXPECT_EQ(named.Entries(), Names{named_log});
}

TEST(RegistryFile, MissingOrWithoutTheValueFallsBackToADrivePathThatNamesNothing) {
  TestFolder registry;
  const fs::path without_value = registry.Path() / "other.reg";
  WriteFile(without_value, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\n\"Other\"=\"x\"\n");
  for (const fs::path& file : {registry.Path() / "missing.reg", without_value}) {
    PosixRunOptions options;
    options.registry_file = file.string();
    const RunResult run = RunTarnwell({"/DeleteAfterDays=7"}, options);
    EXPECT_EQ(run.exit_code, 0) << file;
    EXPECT_EQ(run.messages, Lines{"0 Debug files deleted"}) << file;
  }
}

TEST(Sweep, NeverFollowsOrRemovesSymlinks) {
  TestFolder elsewhere;
  TestFolder folder;
  const fs::path target = elsewhere.Add(LogName("target", -30));
  fs::create_symlink(target, folder.Path() / LogName("link", -30));
  fs::create_symlink(folder.Path() / "gone", folder.Path() / LogName("dangling", -30));
  fs::create_directory_symlink(elsewhere.Path(), folder.Path() / LogName("dir", -30));
  const Names before = folder.Entries();
  const RunResult run = RunTarnwell({"/DeleteAfterDays=7", "/Path=" + folder.Text()});
  EXPECT_EQ(run.messages, Lines{"0 Debug files deleted"});
  EXPECT_EQ(folder.Entries(), before);
  EXPECT_TRUE(fs::exists(target));
}

TEST(Sweep, AFolderThatCannotBeListedEndsTheRunWithAnError) {
  if (getuid() == 0 && !CanDropAccessOverride()) GTEST_SKIP() << "root reads every folder";
  TestFolder folder;
  const std::string old_log = LogName("app", -30);
  folder.Add(old_log);
  fs::permissions(folder.Path(), fs::perms::none);
  PosixRunOptions options;
  options.without_access_override = true;
  const RunResult run = RunTarnwell({"/DeleteAfterDays=7", "/Path=" + folder.Text()}, options);
  fs::permissions(folder.Path(), fs::perms::owner_all);
  EXPECT_EQ(run.exit_code, 1);
  ASSERT_EQ(run.errors.size(), 1u);
  EXPECT_EQ(run.errors[0].rfind("Run-time error '75': ", 0), 0u) << run.errors[0];
  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(folder.Entries(), Names{old_log});
}

}  // namespace
}  // namespace tarnwell::e2e
