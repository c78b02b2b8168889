// Black-box runs of the Linux program: stdout and stderr read back as lines, and the
// registry file that names the folder of the default sweep.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tests/e2e/e2e.h"

namespace tarnwell::e2e {
namespace {

// No run reads the machine's own registry file unless a test names one.
constexpr char kNoRegistry[] = "/nonexistent/tarnwell-e2e/registry.reg";
[[maybe_unused]] const int kRegistryUnset = setenv("TARNWELL_REGISTRY", kNoRegistry, 1);

Lines ReadLines(std::FILE* file) {
  std::fseek(file, 0, SEEK_END);
  std::string text(std::size_t(std::ftell(file)), '\0');
  std::rewind(file);
  text.resize(std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  Lines lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  if (!text.empty() && text.back() != '\n') lines.back() += "<no line end>";
  return lines;
}

}  // namespace

RunResult RunTarnwell(const Lines& arguments) {
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

namespace {

std::string Utf16Le(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) bytes += {c, '\0'};
  return bytes;
}

TEST(RegistryFile, NamesTheFolderOfTheDefaultSweepUnlessAPathIsGiven) {
  TestFolder registry, logs, given;
  const fs::path file = registry.Path() / "registry.reg";
  const std::string key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\r\n";
  const std::string value = "\"DebugPath\"=\"" + logs.Text() + "\"\r\n";
  // What the file is, its bytes, whether a path is given, the count.
  const std::tuple<const char*, std::string, bool, int> rows[] = {
      {"REGEDIT4, 8-bit", "REGEDIT4\r\n\r\n" + key + value, false, 1},
      {"version 5, UTF-16LE", Utf16Le("Windows Registry Editor Version 5.00\r\n\r\n" + key + value),
       false, 1},
      {"other case, comment, other values",
       "REGEDIT4\n; machine settings\n[HKEY_LOCAL_MACHINE\\Software\\corvane]\n"
       "\"Other\"=dword:00000001\n\"debugpath\"=\"" +
           logs.Text() + "\"\n",
       false, 1},
      {"no value: a drive path that names nothing", "REGEDIT4\n" + key + "\"Other\"=\"x\"\n", false,
       0},
      {"a given path beats the registry", "REGEDIT4\n" + key + value, true, 1},
  };
  setenv("TARNWELL_REGISTRY", file.c_str(), 1);
  for (const auto& [kind, bytes, path_given, count] : rows) {
    SCOPED_TRACE(kind);
    std::ofstream(file, std::ios::binary) << bytes;
    logs.Add(LogName("old", -8));
    given.Add(LogName("old", -8));
    Lines arguments = {"/DeleteAfterDays=7"};
    if (path_given) arguments.push_back("/Path=" + given.Text());
    const RunResult run = RunTarnwell(arguments);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.messages, Deleted(count));
    EXPECT_TRUE(run.errors.empty());
    EXPECT_EQ(logs.Entries().empty(), count == 1 && !path_given);
    EXPECT_EQ(given.Entries().empty(), path_given);
  }
  setenv("TARNWELL_REGISTRY", kNoRegistry, 1);
}

}  // namespace
}  // namespace tarnwell::e2e
