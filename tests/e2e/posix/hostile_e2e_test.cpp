// Runs that a hostile or broken environment makes: registry files that are no file or far
// too large, too little memory, and an output nobody can write to.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "tests/e2e/posix/posix_e2e.h"

namespace tarnwell::e2e {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kCanLimitMemory = false;  // the sanitizer's shadow memory needs terabytes
#else
constexpr bool kCanLimitMemory = true;
#endif

const std::string kKey = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\n";

// A run that hangs ends at the alarm, and one that hoards memory runs out of it early.
void Limited() {
  alarm(20);
  const rlimit memory{64 << 20, 64 << 20};
  if (kCanLimitMemory) setrlimit(RLIMIT_AS, &memory);
}

std::string Padded(const std::string& text, std::size_t size, char filler) {
  return text + std::string(size - text.size(), filler);
}

TEST(HostileRegistryFile, NoRegularFileAndNoHugeOneIsRead) {
  const TestFolder registry, logs;
  const std::string fifo = registry.Text() + "/fifo.reg", huge = registry.Text() + "/huge.reg";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string naming = kKey + "\"DebugPath\"=\"" + logs.Text() + "\"\n";
  std::ofstream(huge, std::ios::binary) << Padded(naming, (16 << 20) + 1, '\n');
  const struct {
    std::string file, why;
  } rows[] = {
      {fifo, "not a regular file"},
      {"/dev/zero", "not a regular file"},
      {huge, "larger than 16 MiB"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    logs.Add(LogName("old", -30));
    const RunResult run = RunTarnwellWith({"/DeleteAfterDays=7"}, row.file, Limited);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.messages, Deleted(0));
    EXPECT_EQ(run.errors,
              Lines{"tarnwell: " + row.file + ": " + row.why + "; registry file ignored"});
  }
}

// 15 MiB of blank lines after the value: read in a quarter of the memory that a copy of
// the file per line piece would need.
TEST(HostileRegistryFile, ALargeValidFileIsReadInMemoryProportionalToIt) {
  if (!kCanLimitMemory) GTEST_SKIP() << "no memory limit under the address sanitizer";
  const TestFolder registry, logs;
  const std::string file = registry.Text() + "/large.reg";
  std::ofstream(file, std::ios::binary)
      << Padded(kKey + "\"DebugPath\"=\"" + logs.Text() + "\"\n", 15 << 20, '\n');
  logs.Add(LogName("old", -30));
  const RunResult run = RunTarnwellWith({"/DeleteAfterDays=7"}, file, Limited);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.messages, Deleted(1));
  EXPECT_TRUE(run.errors.empty());
}

TEST(Run, RunningOutOfMemoryIsError7) {
  if (!kCanLimitMemory) GTEST_SKIP() << "no memory limit under the address sanitizer";
  const TestFolder registry;
  const std::string file = registry.Text() + "/keys.reg";
  std::ofstream keys(file, std::ios::binary);
  keys << "REGEDIT4\n";
  for (int i = 0; i < 1'000'000; ++i) keys << "[HKLM\\" << i << "]\n";  // a million keys
  keys.close();
  const RunResult run = RunTarnwellWith({"/DeleteAfterDays=7"}, file, Limited);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(run.errors, Lines{"Run-time error '7': Out of memory"});
}

TEST(Run, AMessageThatCannotBeWrittenIsError57AndDeletionsStay) {
  const TestFolder logs;
  const struct {
    const char* what;
    Lines arguments;
    void (*in_child)();
    std::string reason;
  } rows[] = {
      {"count to a full disk",
       {"/DeleteAfterDays=7", "/Path=" + logs.Text()},
       [] { dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO); },
       "No space left on device"},
      {"count to a closed output",
       {"/DeleteAfterDays=7", "/Path=" + logs.Text()},
       [] { close(STDOUT_FILENO); },
       "Bad file descriptor"},
      {"usage to a full disk",
       {"/DeleteAfterDays=0"},
       [] { dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO); },
       "No space left on device"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    logs.Add(LogName("old", -30));
    const RunResult run = RunTarnwellWith(row.arguments, "/nonexistent/registry.reg", row.in_child);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.errors,
              Lines{"Run-time error '57': Device I/O error: standard output: " + row.reason});
    EXPECT_EQ(logs.Entries().empty(), row.arguments.size() == 2);
  }
}

}  // namespace
}  // namespace tarnwell::e2e
