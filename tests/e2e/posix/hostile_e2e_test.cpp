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

// A run that hangs ends at the alarm, and one that hoards memory runs out of it early.
void Limited() {
  alarm(20);
  const rlimit memory{64 << 20, 64 << 20};
  if (kCanLimitMemory) setrlimit(RLIMIT_AS, &memory);
}
void ToFullDisk() { dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO), Limited(); }
void ToClosedOutput() { close(STDOUT_FILENO), Limited(); }

TEST(HostileEnvironment, EndsEachRunAsDocumented) {
  const TestFolder registry, logs;
  const std::string dir = registry.Text(), fifo = dir + "/fifo", huge = dir + "/huge",
                    large = dir + "/large", keys = dir + "/keys";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string naming = "REGEDIT4\n[HKLM\\SOFTWARE\\Corvane]\n\"DebugPath\"=\"" + logs.Text() + "\"";
  std::ofstream(large) << naming << std::string((15 << 20) - naming.size(), '\n');
  std::ofstream(huge) << naming << std::string((16 << 20) + 1 - naming.size(), '\n');
  std::ofstream many(keys);
  many << "REGEDIT4\n";
  for (int i = 0; i < 1'000'000; ++i) many << "[HKLM\\" << i << "]\n";
  many.close();
  const std::string io_error = "Run-time error '57': Device I/O error: standard output: ";
  const struct {
    std::string registry = "/nonexistent/registry.reg";
    Lines arguments = {"/DeleteAfterDays=7"};
    void (*in_child)() = Limited;
    int exit_code = 0;
    bool deleted = false, needs_memory_limit = false;
    std::string error = "";
  } rows[] = {
      {.registry = fifo, .error = "tarnwell: " + fifo + ": not a regular file"},
      {.registry = "/dev/zero", .error = "tarnwell: /dev/zero: not a regular file"},
      {.registry = huge, .error = "tarnwell: " + huge + ": larger than 16 MiB"},
      // 15 MiB of blank lines: a quarter of what a piece per line would take.
      {.registry = large, .deleted = true, .needs_memory_limit = true},
      {.registry = keys,
       .exit_code = 1,
       .needs_memory_limit = true,
       .error = "Run-time error '7': Out of memory"},
      {.arguments = {"/DeleteAfterDays=7", "/Path=" + logs.Text()},
       .in_child = ToFullDisk,
       .exit_code = 1,
       .deleted = true,
       .error = io_error + "No space left on device"},
      {.arguments = {"/DeleteAfterDays=7", "/Path=" + logs.Text()},
       .in_child = ToClosedOutput,
       .exit_code = 1,
       .deleted = true,
       .error = io_error + "Bad file descriptor"},
      {.arguments = {"/DeleteAfterDays=0"},
       .in_child = ToFullDisk,
       .exit_code = 1,
       .error = io_error + "No space left on device"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.registry + " " + row.arguments.back() + " " + row.error);
    if (row.needs_memory_limit && !kCanLimitMemory) continue;
    logs.Add(LogName("old", -30));
    const RunResult run = RunTarnwellWith(row.arguments, row.registry, row.in_child);
    EXPECT_EQ(run.exit_code, row.exit_code);
    const bool warned = row.error.starts_with("tarnwell:");
    EXPECT_EQ(run.errors, row.error.empty()
                              ? Lines{}
                              : Lines{row.error + (warned ? "; registry file ignored" : "")});
    EXPECT_EQ(logs.Entries().empty(), row.deleted);
  }
}

}  // namespace
}  // namespace tarnwell::e2e
