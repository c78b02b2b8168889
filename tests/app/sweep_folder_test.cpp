#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "app/tarnwell_fn.h"
#include "general/date_stamp.h"
#include "tests/app/temp_folder.h"

namespace tarnwell {
namespace {

using Names = std::vector<std::string>;

// "YYYYMMDD" of today plus `days`, today as the sweep itself reads it.
std::string DateDigits(int days) {
  using namespace std::chrono;
  const year_month_day date{sys_days{year{1899} / December / 30} +
                            std::chrono::days{CurrentStamp(false).DaySerial + days}};
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

TEST(SweepFolder, DeletesOnlyFilesStrictlyOlderThanTheLimit) {
  const TempFolder folder;
  const std::string old = DateDigits(-8), edge = DateDigits(-7), future = DateDigits(12);
  folder.Create({"app." + old + ".log", "UPPER." + old + ".LOG", "a.b." + old + ".log",
                 "app." + edge + ".log", "app." + future + ".log"});
  EXPECT_EQ(SweepFolder(folder.Path().string(), 7), 3);
  EXPECT_EQ(folder.Names(), (Names{"app." + edge + ".log", "app." + future + ".log"}));
  // A trailing separator doubles it in the pattern, which still names the folder.
  EXPECT_EQ(SweepFolder(folder.Path().string() + "\\", 6), 1);
  EXPECT_EQ(folder.Names(), Names{"app." + future + ".log"});
}

TEST(SweepFolder, LeavesNamesWithoutAnEightDigitDate) {
  const TempFolder folder;
  const Names names = {"app.2014080x.log", "app.2014081.log",    "app.201408123.log", "readme.log",
                       "x.00000000.log",   "x.20100101.log.bak", "x.abcdefgh.log"};
  folder.Create(names);
  EXPECT_EQ(SweepFolder(folder.Path().string(), 1), 0);
  EXPECT_EQ(folder.Names(), names);
}

TEST(SweepFolder, WhatCannotOrMustNotBeDeletedStaysAndTheSweepGoesOn) {
  const TempFolder folder;
  folder.Create({"a.20100101.log", "b.20100101.log", "c.20100101.log"});
  std::filesystem::permissions(folder.Path() / "b.20100101.log", std::filesystem::perms::all,
                               std::filesystem::perm_options::remove);
  std::filesystem::create_directory(folder.Path() / "old.20100101.log");
  std::ofstream(folder.Path() / "old.20100101.log" / "inner.20100101.log") << "x";
  EXPECT_EQ(SweepFolder(folder.Path().string(), 1), 2);
  EXPECT_EQ(folder.Names(), (Names{"b.20100101.log", "old.20100101.log"}));
  EXPECT_TRUE(std::filesystem::exists(folder.Path() / "old.20100101.log" / "inner.20100101.log"));
}

TEST(SweepFolder, DatesBeyondTheCalendarDoNotEndTheSweep) {
  const TempFolder folder;
  // 9999-99-99 carries past 31 December 9999; 1e999999 reads beyond any number.
  folder.Create(
      {"a.20100101.log", "x.99999999.log", "x.1e999999.log", "x.99991231.log", "z.20100101.log"});
  EXPECT_EQ(SweepFolder(folder.Path().string(), 1), 2);
  EXPECT_EQ(folder.Names(), (Names{"x.1e999999.log", "x.99991231.log", "x.99999999.log"}));
}

TEST(SweepFolder, DeletingWhileListingReachesEveryFile) {
  const TempFolder folder;
  for (int i = 0; i < 300; ++i) folder.Create({"f" + std::to_string(i) + ".20100101.log"});
  EXPECT_EQ(SweepFolder(folder.Path().string(), 1), 300);
  EXPECT_EQ(SweepFolder((folder.Path() / "missing").string(), 1), 0);
}

TEST(Main, SweepsThePathFolderWithTheRoundedDayCount) {
  const TempFolder folder;
  const std::string two = "a." + DateDigits(-2) + ".log", three = "a." + DateDigits(-3) + ".log";
  folder.Create({two, three});
  const std::string path = " /Path=\"" + folder.Path().string() + "\" ";
  // 1.5 rounds to 2: only the file three days old goes.
  EXPECT_EQ(Main("/deleteafterdays=1.5" + path + "/SILENT "), RunEnding::kSwept);
  EXPECT_EQ(folder.Names(), Names{two});
}

}  // namespace
}  // namespace tarnwell
