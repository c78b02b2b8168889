#include <gtest/gtest.h>

#include "general/paths.h"

namespace tarnwell {
namespace {

// The default sweep relies on "c:" counting as a folder whenever drive C: exists.
TEST(FolderExistsOnWindows, DriveRootsAreFolders) {
  for (const char* path : {"c:", "C:", "c:\\", "C:/", "C:\\windows"}) {
    EXPECT_TRUE(FolderExists(path)) << path;
  }
  EXPECT_FALSE(FolderExists("C:\\windows\\win.ini"));
  EXPECT_FALSE(FolderExists("C:\\no such folder here"));
}

}  // namespace
}  // namespace tarnwell
