// A real folder under the temporary directory for one test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace tarnwell {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

struct TempFolder {
  const fs::path path =
      fs::temp_directory_path() /
      ("tarnwell " + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
  TempFolder() {
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempFolder() { fs::remove_all(path); }  // restore write access to read-only files first
  void Create(const Names& names) const {
    for (const std::string& name : names) std::ofstream(path / name) << "x";
  }
  Names Left() const {
    Names names;
    for (const auto& entry : fs::directory_iterator(path))
      names.insert(entry.path().filename().string());
    return names;
  }
};

}  // namespace tarnwell
