// The POSIX folder listing under the sweep, and the argument text rebuilt from argv.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/tarnwell_fn.h"
#include "general/runtime_error.h"
#include "platform/argument_text.h"
#include "tests/test_folder.h"

namespace tarnwell {
namespace {

TEST(SweepFolder, LeavesDotFilesSymlinksAndPipesAlone) {
  const TestFolder folder;
  folder.Create({"plain.20100101.log", ".hidden.20100101.log", "target.20100101.txt"});
  fs::create_symlink(folder.Path() / "target.20100101.txt", folder.Path() / "link.20100101.log");
  fs::create_directory_symlink(folder.Path(), folder.Path() / "dirlink.20100101.log");
  ASSERT_EQ(mkfifo((folder.Path() / "pipe.20100101.log").c_str(), 0644), 0);
  Names left = folder.Entries();
  left.erase("plain.20100101.log");
  EXPECT_EQ(SweepFolder(folder.Path().string(), 1), 1);
  EXPECT_EQ(folder.Entries(), left);
}

// A folder that is there but cannot be read is an error, not "nothing deleted". Root
// reads any folder, so the sweep runs in a child that gives up root first.
TEST(SweepFolder, AnUnreadableFolderRaisesPathFileAccessError) {
  const TestFolder folder;
  folder.Create({"a.20100101.log"});
  fs::permissions(folder.Path(), fs::perms::none);
  const pid_t child = fork();
  if (child == 0) {
    if ((geteuid() == 0 && setuid(65534) != 0) || access(folder.Path().c_str(), R_OK) == 0)
      _exit(100);
    try {
      _exit(SweepFolder(folder.Path().string(), 1) == 0 ? 0 : 101);
    } catch (const RuntimeError& error) {
      _exit(error.Number());
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  fs::permissions(folder.Path(), fs::perms::owner_all);
  if (WEXITSTATUS(status) == 100) GTEST_SKIP() << "no way to make a folder unreadable here";
  EXPECT_EQ(WEXITSTATUS(status), kPathFileAccessError);
  EXPECT_EQ(folder.Entries(), Names{"a.20100101.log"});
}

// Values with blanks are quoted (after the first "=", or the whole argument), unless quoted;
// the black-box runs cover paths with blanks, quoted or not.
TEST(ArgumentTextFromArguments, JoinsArgumentsAndQuotesValuesWithBlanks) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"/Path=a=b c"}, "/Path=\"a=b c\""},
      {{"two words"}, "\"two words\""},
      {{"\"two words\""}, "\"two words\""},
      {{"/Path=", ""}, "/Path= "},
  };
  for (const auto& [arguments, text] : cases) {
    EXPECT_EQ(platform::ArgumentTextFromArguments(arguments), text) << text;
  }
}

}  // namespace
}  // namespace tarnwell
