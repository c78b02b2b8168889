// The /List record on Linux when standard output cannot take it: every file must still
// go, and the run must end in an error that a timer's status shows.
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "tests/e2e/e2e.h"

namespace tarnwell::e2e {
namespace {

TEST(Record, AnOutputThatCannotTakeItStillDeletesEverythingAndEndsInError57) {
  const struct {
    const char *redirect, *reason;
  } rows[] = {
      {">&-", "Bad file descriptor"},
      {">/dev/full", "No space left on device"},
      {"", "Broken pipe"},  // standard output stays a pipe whose reader has gone
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.reason);
    TestFolder folder("logs");
    folder.Create({LogName("a", -8), LogName("b", -30)});
    const std::string errors = Utf8(folder.Path().parent_path() / "errors");
    const std::string command = std::string(TARNWELL_PROGRAM) +
                                " /DeleteAfterDays=7 /Path=" + folder.Text() + " /List " +
                                row.redirect + " 2>" + errors;
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    const pid_t child = fork();
    if (child == 0 && dup2(ends[1], STDOUT_FILENO) >= 0 && signal(SIGPIPE, SIG_DFL) != SIG_ERR)
      execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
    if (child == 0) _exit(127);
    close(ends[1]);
    int status = 0;
    waitpid(child, &status, 0);
    std::string error;
    std::getline(std::ifstream(errors), error);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(error,
              std::string("Run-time error '57': Device I/O error: standard output: ") + row.reason);
    EXPECT_TRUE(folder.Entries().empty());
  }
}

}  // namespace
}  // namespace tarnwell::e2e
