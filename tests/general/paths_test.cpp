#include "general/paths.h"

#include <gtest/gtest.h>

#include "tests/test_folder.h"

namespace tarnwell {
namespace {

TEST(FileNameFromPath, TakesThePartAfterTheLastSeparatorAndWithoutExtensionDropsTheLastDot) {
  const struct {
    const char *path, *name, *stem;
  } rows[] = {
      {.path = R"(C:\Logs\trace.20140804.log)",
       .name = "trace.20140804.log",
       .stem = "trace.20140804"},
      {.path = "logs/trace.log", .name = "trace.log", .stem = "trace"},
      {.path = R"(C:\a/b\c.log)", .name = "c.log", .stem = "c"},
      {.path = R"(C:\Logs\)", .name = "", .stem = ""},
      {.path = "C:trace.log", .name = "C:trace.log", .stem = "C:trace"},
      {.path = R"(C:\Logs.old\trace)", .name = "trace", .stem = "trace"},
      {.path = ".log", .name = ".log", .stem = ""},
      {.path = "trace.", .name = "trace.", .stem = "trace"},
      {.path = "", .name = "", .stem = ""},
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
