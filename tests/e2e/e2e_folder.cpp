#include "tests/e2e/e2e_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>

namespace tarnwell::e2e {

namespace fs = std::filesystem;

std::string DateFromToday(int days) {
  const std::time_t now = std::time(nullptr);
  const std::tm local = *std::localtime(&now);
  const std::chrono::year_month_day today{std::chrono::year{local.tm_year + 1900},
                                          std::chrono::month{unsigned(local.tm_mon) + 1},
                                          std::chrono::day{unsigned(local.tm_mday)}};
  const std::chrono::year_month_day day{std::chrono::sys_days{today} + std::chrono::days{days}};
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02u%02u", int(day.year()), unsigned(day.month()),
                unsigned(day.day()));
  return text;
}

std::string LogName(const std::string& stem, int days) {
  return stem + "." + DateFromToday(days) + ".log";
}

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

fs::path PathFromUtf8(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

void RemoveAll(const fs::path& path) {
  std::error_code ignored;
  if (!fs::exists(fs::symlink_status(path, ignored))) return;
  for (auto it = fs::recursive_directory_iterator(path, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (!it->is_symlink(ignored)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
  fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path, ignored);
}

TestFolder::TestFolder(const std::string& leaf) {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = "tarnwell-e2e-" + std::string(test->test_suite_name()) + "-" + test->name() +
                     "-" + std::to_string(std::random_device{}() % 100000);
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  root_ = fs::temp_directory_path() / name;
  path_ = leaf.empty() ? root_ : root_ / PathFromUtf8(leaf);
  RemoveAll(root_);
  fs::create_directories(path_);
}

TestFolder::~TestFolder() { RemoveAll(root_); }

fs::path TestFolder::Add(const std::string& name) const {
  const fs::path file = path_ / PathFromUtf8(name);
  std::ofstream(file) << "debug output\n";
  return file;
}

fs::path TestFolder::AddReadOnly(const std::string& name) const {
  const fs::path file = Add(name);
  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  return file;
}

fs::path TestFolder::AddFolder(const std::string& name) const {
  const fs::path folder = path_ / PathFromUtf8(name);
  fs::create_directory(folder);
  return folder;
}

std::set<std::string> TestFolder::Entries() const {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(path_))
    names.insert(Utf8(entry.path().filename()));
  return names;
}

}  // namespace tarnwell::e2e
