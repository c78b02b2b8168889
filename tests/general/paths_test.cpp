#include "general/paths.h"

#include <gtest/gtest.h>

#include "tests/test_folder.h"

namespace tarnwell {
namespace {

TEST(FileNameFromPath, TakesThePartAfterTheLastSeparatorAndWithoutExtensionDropsTheLastDot) {
  const struct {
    const char *path, *name, *stem;
  } rows[] = {
      {R"(C:\Logs\trace.20140804.log)", "trace.20140804.log", "trace.20140804"},
      {"logs/trace.log", "trace.log", "trace"},
      {R"(C:\a/b\c.log)", "c.log", "c"},
      {R"(C:\Logs\)", "", ""},
      {"C:trace.log", "C:trace.log", "C:trace"},
      {R"(C:\Logs.old\trace)", "trace", "trace"},
      {".log", ".log", ""},
      {"trace.", "trace.", "trace"},
      {"", "", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FileNameFromPath(row.path), row.name) << row.path;
    EXPECT_EQ(FileNameWithoutExtension(row.path), row.stem) << row.path;
  }
}

TEST(FolderExists, TellsFoldersFromFilesAndMissingPathsWithEitherSeparator) {
  const TestFolder folder("sub folder");
  folder.Add("file.log");
  std::string backslashed = folder.Text();
  std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
  for (const std::string& path :
       {folder.Text(), folder.Text() + "\\", folder.Text() + "/", backslashed})
    EXPECT_TRUE(FolderExists(path)) << path;
  for (const std::string& path : {folder.Text() + "/file.log", folder.Text() + "/missing",
                                  folder.Text() + "/missing\\deeper", std::string()})
    EXPECT_FALSE(FolderExists(path)) << path;
}

}  // namespace
}  // namespace tarnwell
