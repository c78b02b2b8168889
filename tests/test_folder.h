// Real temporary folders of dated log files for the tests that sweep them, unit and
// black-box alike.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

namespace tarnwell {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

// "<stem>.<YYYYMMDD>.log" for today's local date plus `days` (negative: in the past).
inline std::string LogName(const std::string& stem, int days) {
  const std::time_t now = std::time(nullptr);
  std::tm day = *std::localtime(&now);
  day.tm_mday += days;
  day.tm_hour = 12;   // clear of any daylight-saving hour
  std::mktime(&day);  // carries the day into the month and year
  char text[16];
  std::strftime(text, sizeof text, "%Y%m%d", &day);
  return stem + "." + text + ".log";
}

// Paths as the program takes them, UTF-8 on both targets.
inline std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}
inline fs::path FromUtf8(const std::string& text) {
  return std::u8string(text.begin(), text.end());
}

// A fresh folder named after the running test (or `leaf` inside it) in `base`, removed again
// at the end with its read-only files.
class TestFolder {
 public:
  explicit TestFolder(const std::string& leaf = "",
                      const fs::path& base = fs::temp_directory_path())
      : root_(base / ("tarnwell-" +
                      std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) +
                      "-" + std::to_string(std::random_device{}() % 100000))),
        path_(leaf.empty() ? root_ : root_ / FromUtf8(leaf)) {
    fs::create_directories(path_);
  }
  ~TestFolder() {
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(root_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
      if (!it->is_symlink(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(root_, ignored);
  }

  const fs::path& Path() const { return path_; }
  std::string Text() const { return Utf8(path_); }

  void Add(const std::string& name, bool read_only = false) const {
    std::ofstream(path_ / FromUtf8(name)) << "debug output\n";
    if (read_only)
      fs::permissions(path_ / FromUtf8(name), fs::perms::all, fs::perm_options::remove);
  }
  void Create(const Names& names) const {
    for (const std::string& name : names) Add(name);
  }

  // Names of every entry left, of any kind.
  Names Entries() const {
    Names names;
    for (const auto& entry : fs::directory_iterator(path_))
      names.insert(Utf8(entry.path().filename()));
    return names;
  }

 private:
  const fs::path root_, path_;
};

}  // namespace tarnwell
