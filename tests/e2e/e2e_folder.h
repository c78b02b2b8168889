// Real temporary folders of dated log files for the black-box runs.
#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace tarnwell::e2e {

// "YYYYMMDD" of today's local date plus `days` (negative: in the past).
std::string DateFromToday(int days);

// A log file name for the day `days` from today: "<stem>.<YYYYMMDD>.log".
std::string LogName(const std::string& stem, int days);

// UTF-8 text of a path, as the program's command line expects it.
std::string Utf8(const std::filesystem::path& path);
std::filesystem::path PathFromUtf8(const std::string& text);

// A fresh, empty folder named after the running test; removed again, read-only files
// included, when it goes out of scope.
class TestFolder {
 public:
  explicit TestFolder(const std::string& leaf = "");
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string Text() const { return Utf8(path_); }

  // Creates the file `name` and returns its path.
  std::filesystem::path Add(const std::string& name) const;
  std::filesystem::path AddReadOnly(const std::string& name) const;
  std::filesystem::path AddFolder(const std::string& name) const;

  // Names of every entry left, of any kind.
  std::set<std::string> Entries() const;

 private:
  std::filesystem::path root_;
  std::filesystem::path path_;
};

// Makes files writable again so a folder holding them can be removed.
void RemoveAll(const std::filesystem::path& path);

}  // namespace tarnwell::e2e
