#include <gtest/gtest.h>

#include "general/paths.h"

namespace tarnwell {
namespace {

// Drive letters mean nothing here: the default sweep's "c:" and "C:\DebugFiles" name no
// folder, even when a relative folder of that name exists.
TEST(FolderExistsOnPosix, DriveLetterPathsNameNoFolder) {
  for (const char* path : {"c:", "C:", "c:\\", "C:\\DebugFiles", "z:/tmp"}) {
    EXPECT_FALSE(FolderExists(path)) << path;
  }
  EXPECT_TRUE(FolderExists("/"));
  EXPECT_TRUE(FolderExists("\\"));
}

}  // namespace
}  // namespace tarnwell
