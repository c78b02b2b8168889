#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "app/tarnwell_fn.h"
#include "general/date_stamp.h"
#include "tests/app/temp_folder.h"

namespace tarnwell {
namespace {

// "stem.YYYYMMDD.log" dated today plus `offset` days, today as the sweep itself reads it.
std::string Log(const char* stem, int offset, const char* extension = "log") {
  using namespace std::chrono;  // 1 January 1970 is day 25569
  const year_month_day date{sys_days{days{CurrentStamp(false).DaySerial + offset - 25569}}};
  char name[64];
  std::snprintf(name, sizeof name, "%s.%04d%02u%02u.%s", stem, int(date.year()),
                unsigned(date.month()), unsigned(date.day()), extension);
  return name;
}

// Only ordinary files dated strictly more than the limit before today go: not a read-only
// file, nor a folder (created first, so that creating the kept files skips it). A name that
// is no date, or a date beyond the calendar (9999-99-99 carries past 31 December 9999,
// 1e999999 reads beyond any number), leaves that file alone and the sweep goes on; deleting
// while listing reaches every file.
TEST(SweepFolder, DeletesOnlyOrdinaryFilesStrictlyOlderThanTheLimit) {
  const TempFolder folder;
  Names deleted = {Log("app", -8), Log("a.b", -9), Log("UPPER", -10, "LOG")};
  for (int i = 0; i < 300; ++i) deleted.insert("f" + std::to_string(i) + ".20100101.log");
  const Names kept = {Log("app", -7),    Log("app", 12),       "app.2014080x.log",
                      "app.2014081.log", "app.201408123.log",  "readme.log",
                      "x.00000000.log",  "x.20100101.log.bak", "x.abcdefgh.log",
                      "x.99999999.log",  "x.1e999999.log",     "x.99991231.log",
                      "ro.20100101.log", "dir.20100101.log"};
  fs::create_directory(folder.path / "dir.20100101.log");
  std::ofstream(folder.path / "dir.20100101.log" / "inner.20100101.log") << "x";
  folder.Create(deleted);
  folder.Create(kept);
  fs::permissions(folder.path / "ro.20100101.log", fs::perms::all, fs::perm_options::remove);
  EXPECT_EQ(SweepFolder(folder.path.string(), 7), 303);
  EXPECT_EQ(folder.Left(), kept);
  EXPECT_TRUE(fs::exists(folder.path / "dir.20100101.log" / "inner.20100101.log"));
  // A trailing separator doubles it in the pattern, which still names the folder.
  EXPECT_EQ(SweepFolder(folder.path.string() + "\\", 6), 1);
  EXPECT_EQ(SweepFolder((folder.path / "missing").string(), 1), 0);
  fs::permissions(folder.path / "ro.20100101.log", fs::perms::owner_write, fs::perm_options::add);
}

}  // namespace
}  // namespace tarnwell
