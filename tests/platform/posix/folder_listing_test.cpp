#include "platform/folder_listing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/tarnwell_fn.h"
#include "general/runtime_error.h"
#include "tests/app/temp_folder.h"

namespace tarnwell::platform {
namespace {

namespace fs = std::filesystem;

TEST(PosixFolderListing, OnlyVisibleRegularFilesAreListedOrSwept) {
  const TempFolder root;
  const fs::path logs = root.Path() / "logs";
  fs::create_directory(logs);
  root.Create({"logs/plain.20100101.log", "logs/.hidden.20100101.log", "target.20100101.log"});
  fs::create_symlink(root.Path() / "target.20100101.log", logs / "link.20100101.log");
  fs::create_directory_symlink(root.Path(), logs / "dirlink.20100101.log");
  ASSERT_EQ(mkfifo((logs / "pipe.20100101.log").c_str(), 0644), 0);

  FolderListing listing(logs.string(), "*.????????.log");
  EXPECT_EQ(listing.Next(), "plain.20100101.log");
  EXPECT_EQ(listing.Next(), "");
  EXPECT_EQ(SweepFolder(logs.string(), 1), 1);
  EXPECT_TRUE(fs::exists(logs / ".hidden.20100101.log"));
  EXPECT_TRUE(fs::is_symlink(logs / "link.20100101.log"));
  EXPECT_TRUE(fs::exists(root.Path() / "target.20100101.log"));
}

// A folder that is there but cannot be read is an error, not "nothing deleted". Root
// reads any folder, so the sweep runs in a child that gives up root first.
TEST(PosixFolderListing, AnUnreadableFolderRaisesPathFileAccessError) {
  const TempFolder root;
  const fs::path logs = root.Path() / "logs";
  fs::create_directory(logs);
  root.Create({"logs/a.20100101.log"});
  fs::permissions(root.Path(), fs::perms(0755));
  fs::permissions(logs, fs::perms::none);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
    if (access(logs.c_str(), R_OK) == 0) _exit(100);  // still readable: nothing to check
    try {
      _exit(SweepFolder(logs.string(), 1) == 0 ? 0 : 101);
    } catch (const RuntimeError& error) {
      _exit(error.Number());
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  fs::permissions(logs, fs::perms::owner_all);
  if (WEXITSTATUS(status) == 100) GTEST_SKIP() << "no way to make a folder unreadable here";
  EXPECT_EQ(WEXITSTATUS(status), kPathFileAccessError);
  EXPECT_TRUE(fs::exists(logs / "a.20100101.log"));
}

}  // namespace
}  // namespace tarnwell::platform
