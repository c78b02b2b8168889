#include "general/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tarnwell {
namespace {

namespace fs = std::filesystem;

TEST(FileNameFromPath, TakesThePartAfterTheLastSeparator) {
  const std::pair<const char*, const char*> cases[] = {
      {R"(C:\Logs\trace.20140804.log)", "trace.20140804.log"},
      {"logs/trace.log", "trace.log"},
      {R"(C:\a/b\c.log)", "c.log"},
      {R"(C:\Logs\)", ""},
      {"C:trace.log", "C:trace.log"},
      {"trace.log", "trace.log"},
      {"", ""},
  };
  for (const auto& [path, name] : cases) EXPECT_EQ(FileNameFromPath(path), name) << path;
}

TEST(FileNameWithoutExtension, DropsTheLastDotAndWhatFollows) {
  const std::pair<const char*, const char*> cases[] = {
      {"trace.20140804.log", "trace.20140804"},
      {R"(C:\Logs.old\trace)", "trace"},
      {".log", ""},
      {"trace.", "trace"},
      {"trace", "trace"},
      {R"(C:\Logs\a.b.20140101.log)", "a.b.20140101"},
  };
  for (const auto& [path, stem] : cases) EXPECT_EQ(FileNameWithoutExtension(path), stem) << path;
}

class FolderExistsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("tarnwell-folder-" +
             std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "sub folder");
    std::ofstream(root_ / "file.log") << "x";
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string Path(const char* leaf) const { return (root_ / leaf).string(); }

  fs::path root_;
};

TEST_F(FolderExistsTest, TellsFoldersFromFilesAndMissingPaths) {
  EXPECT_TRUE(FolderExists(root_.string()));
  EXPECT_TRUE(FolderExists(Path("sub folder")));
  EXPECT_TRUE(FolderExists(Path("sub folder") + "\\"));
  EXPECT_TRUE(FolderExists(Path("sub folder") + "/"));
  EXPECT_FALSE(FolderExists(Path("file.log")));
  EXPECT_FALSE(FolderExists(Path("missing")));
  EXPECT_FALSE(FolderExists(Path("missing") + "\\deeper"));
  EXPECT_FALSE(FolderExists(""));
}

TEST_F(FolderExistsTest, BackslashesWorkAsSeparators) {
  std::string path = Path("sub folder");
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  EXPECT_TRUE(FolderExists(path));
}

}  // namespace
}  // namespace tarnwell
