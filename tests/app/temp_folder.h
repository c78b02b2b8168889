// A real folder under the temporary directory for one test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tarnwell {

class TempFolder {
 public:
  TempFolder() {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;  // links have no permissions of their own here
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_)) {
      std::filesystem::permissions(  // read-only files would stop the removal on Windows
          entry.path(), std::filesystem::perms::owner_all,
          std::filesystem::perm_options::add | std::filesystem::perm_options::nofollow, ignored);
    }
    std::filesystem::remove_all(path_);
  }

  void Create(const std::vector<std::string>& names) const {
    for (const std::string& name : names) std::ofstream(path_ / name) << "x";
  }
  // The names left in the folder, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_ =
      std::filesystem::temp_directory_path() /
      ("tarnwell " + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
};

}  // namespace tarnwell
