// Black-box runs of the Linux program: stdout and stderr read back as lines, the registry
// file that names the folder of the default sweep, and what only this target has.
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "tests/e2e/posix/posix_e2e.h"

namespace tarnwell::e2e {

const bool kSilentHidesErrors = false;

namespace {

constexpr char kNoRegistry[] = "/nonexistent/tarnwell-e2e/registry.reg";
constexpr int kCannotRestrict = 125;

// The lines written to `file`; a last line without its line end is marked.
Lines ReadLines(std::FILE* file) {
  Lines lines;
  std::rewind(file);
  for (int c; (c = std::fgetc(file)) != EOF;) {
    if (lines.empty() || lines.back().ends_with('\n')) lines.emplace_back();
    lines.back() += static_cast<char>(c);
  }
  std::fclose(file);
  for (std::string& line : lines) {
    line = line.ends_with('\n') ? line.substr(0, line.size() - 1) : line + "<no line end>";
  }
  return lines;
}

// The program run with `registry` as its registry file; `restricted`: as root without the
// power to read what its permissions forbid, the way any other user would run it.
RunResult Launch(const Lines& arguments, const std::string& registry, bool restricted = false,
                 const std::function<void()>& in_child = {}) {
  std::vector<char*> argv{const_cast<char*>(TARNWELL_PROGRAM)};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  RunResult result;
  if (out == nullptr || err == nullptr) return result;
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    dup2(fileno(out), STDOUT_FILENO);
    dup2(fileno(err), STDERR_FILENO);
    setenv("TARNWELL_REGISTRY", registry.c_str(), 1);
    if (restricted && geteuid() == 0 &&
        (prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE) != 0 ||
         prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH) != 0)) {
      _exit(kCannotRestrict);
    }
    if (in_child) in_child();
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child) {
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  result.messages = ReadLines(out);
  result.errors = ReadLines(err);
  return result;
}

}  // namespace

RunResult RunTarnwell(const Lines& arguments) { return Launch(arguments, kNoRegistry); }

RunResult RunTarnwellWith(const Lines& arguments, const std::string& registry,
                          const std::function<void()>& in_child) {
  return Launch(arguments, registry, false, in_child);
}

void AddEntriesNeverDeleted(const TestFolder& folder) {
  folder.Add("target.txt");
  fs::create_symlink("target.txt", folder.Path() / LogName("link", -30));
  fs::create_symlink("gone", folder.Path() / LogName("dangling", -30));
  fs::create_directory_symlink(".", folder.Path() / LogName("dirlink", -30));
  EXPECT_EQ(mkfifo((folder.Path() / LogName("pipe", -30)).c_str(), 0644), 0);
}

namespace {

TEST(RegistryFile, NamesTheFolderOfTheDefaultSweepUnlessAPathIsGiven) {
  TestFolder registry, logs, given;
  const std::string file = registry.Text() + "/registry.reg";
  const std::string key = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\n";
  const struct {
    const char* what;
    std::string contents;
    bool path_given;
    int count;
  } rows[] = {
      {"the value names the folder", key + "\"DebugPath\"=\"" + logs.Text() + "\"\n", false, 1},
      {"no value: a drive path that names nothing", key + "\"Other\"=\"x\"\n", false, 0},
      {"a given path beats the registry", key + "\"DebugPath\"=\"" + logs.Text() + "\"\n", true, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::ofstream(file, std::ios::binary) << row.contents;
    logs.Add(LogName("old", -8));
    given.Add(LogName("old", -8));
    Lines arguments = {"/DeleteAfterDays=7"};
    if (row.path_given) arguments.push_back("/Path=" + given.Text());
    const RunResult run = Launch(arguments, file);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.messages, Deleted(row.count));
    EXPECT_TRUE(run.errors.empty());
    EXPECT_EQ(logs.Entries().empty(), row.count == 1 && !row.path_given);
    EXPECT_EQ(given.Entries().empty(), row.path_given);
  }
}

// A journal reader must see which folder failed and why, not only the error number.
TEST(Run, AFolderThatCannotBeReadEndsTheRunNamingItAndWhy) {
  const TestFolder folder;
  folder.Add(LogName("old", -30));
  fs::permissions(folder.Path(), fs::perms::none);
  const RunResult run = Launch({"/DeleteAfterDays=7", "/Path=" + folder.Text()}, kNoRegistry, true);
  fs::permissions(folder.Path(), fs::perms::owner_all);
  if (run.exit_code == kCannotRestrict) GTEST_SKIP() << "cannot give up root's file access here";
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.errors, Lines{"Run-time error '75': Path/File access error: " + folder.Text() +
                              ": Permission denied"});
  EXPECT_EQ(folder.Entries(), Names{LogName("old", -30)});
}

}  // namespace
}  // namespace tarnwell::e2e
