#include "general/paths.h"

#include <gtest/gtest.h>

#include "tests/test_folder.h"

namespace tarnwell {
namespace {

// The name follows the last separator of either kind; the extension is from its last dot.
TEST(FileNameFromPath, TakesThePartAfterTheLastSeparatorAndWithoutExtensionDropsTheLastDot) {
  const struct {
    const char *path, *name, *stem;
  } rows[] = {
      {R"(C:\Logs\trace.20140804.log)", "trace.20140804.log", "trace.20140804"},
      {R"(C:\a/b\c.log)", "c.log", "c"},
      {"C:/Logs/", "", ""},
      {"", "", ""},
      {"C:trace.log", "C:trace.log", "C:trace"},
      {R"(C:\Logs.old\trace)", "trace", "trace"},
      {".log", ".log", ""},
      {"trace.", "trace.", "trace"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FileNameFromPath(row.path), row.name) << row.path;
    EXPECT_EQ(FileNameWithoutExtension(row.path), row.stem) << row.path;
  }
}

TEST(FolderExists, TellsFoldersFromFilesAndMissingPathsWithEitherSeparator) {
  const TestFolder folder("sub folder");
  folder.Add("file.log");
  const std::string root = folder.Text();
  // A trailing backslash is a separator on every target.
  for (const std::string& path : {root, root + "\\", root + "/"})
    EXPECT_TRUE(FolderExists(path)) << path;
  for (const std::string& path : {root + "/file.log", root + "/missing\\deeper", std::string()})
    EXPECT_FALSE(FolderExists(path)) << path;
}

}  // namespace
}  // namespace tarnwell
