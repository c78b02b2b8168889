// Black-box runs of the built program on real folders, shared by both targets: what a
// user sees (messages, exit status) and what is left in the folder afterwards.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/e2e/e2e_folder.h"
#include "tests/e2e/run_tarnwell.h"

namespace tarnwell::e2e {
namespace {

using Names = std::set<std::string>;
using Lines = std::vector<std::string>;

const std::string kUsage =
    "Usage: Tarnwell.exe /DeleteAfterDays=<NumberOfDays> [/Path=<PathToExamine] [/Silent]";

Lines Deleted(int count) { return {std::to_string(count) + " Debug files deleted"}; }

TEST(Usage, IsShownForAMissingOrNonPositiveDayCountAndNothingIsTouched) {
  TestFolder folder;
  const std::string old_log = LogName("app", -30);
  folder.Add(old_log);
  const std::string path = "/Path=" + folder.Text();
  const std::vector<std::vector<std::string>> cases = {
      {},
      {path},
      {"/DeleteAfterDays=0", path},
      {"/DeleteAfterDays=-3", path},
      {"/DeleteAfterDays=abc", path},
      {"/DeleteAfterDays=0.5", path},
      {"/DeleteAfterDays=", path},
      {"/Silent"},
      {"/DeleteAfterDays=0", path, "/Silent"},
  };
  for (const auto& arguments : cases) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    const RunResult run = RunTarnwell(arguments);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.messages, Lines{kUsage});
    EXPECT_TRUE(run.errors.empty());
  }
  EXPECT_EQ(folder.Entries(), Names{old_log});
}

TEST(DayCount, IsReadLenientlyAndRoundedHalfToEven) {
  const std::pair<const char*, int> cases[] = {
      {"0.6", 1}, {"1.5", 2}, {"2.5", 2}, {"3.49", 3}, {"7days", 7}, {"1e1", 10}, {"&HA", 10},
  };
  for (const auto& [text, limit] : cases) {
    SCOPED_TRACE(text);
    TestFolder folder;
    const std::string at_limit = LogName("at", -limit);
    folder.Add(at_limit);
    folder.Add(LogName("over", -limit - 1));
    const RunResult run =
        RunTarnwell({std::string("/DeleteAfterDays=") + text, "/Path=" + folder.Text()});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.messages, Deleted(1));
    EXPECT_EQ(folder.Entries(), Names{at_limit});
  }
}

TEST(DayCount, BeyondTheLongRangeIsAnOverflowBeforeAnythingIsTouched) {
  TestFolder folder;
  const std::string old_log = LogName("app", -30);
  folder.Add(old_log);
  const RunResult run = RunTarnwell({"/DeleteAfterDays=99999999999", "/Path=" + folder.Text()});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.errors, Lines{"Run-time error '6': Overflow"});
  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(folder.Entries(), Names{old_log});
}

TEST(Sweep, DeletesDatedLogsStrictlyOlderThanTheLimit) {
  TestFolder folder;
  const Names deleted = {LogName("app", -8), LogName("app", -400), LogName("a.b", -9),
                         "upper." + DateFromToday(-8) + ".LOG", LogName("my trace", -10)};
  const Names kept = {LogName("app", -7), LogName("app", 0), LogName("app", 12)};
  for (const Names* names : {&deleted, &kept}) {
    for (const std::string& name : *names) folder.Add(name);
  }
  const RunResult run = RunTarnwell({"/DeleteAfterDays=7", "/Path=" + folder.Text()});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.messages, Deleted(5));
  EXPECT_TRUE(run.errors.empty());
  EXPECT_EQ(folder.Entries(), kept);
}

TEST(Sweep, LeavesEverythingButOrdinaryDatedLogFilesAlone) {
  TestFolder folder;
  const std::string old_date = DateFromToday(-30);
  folder.AddReadOnly("locked." + old_date + ".log");
  folder.Add(".hidden." + old_date + ".log");
  folder.AddFolder("folder." + old_date + ".log");
  for (const char* name : {"readme.log", "app.2014081.log", "app.201408123.log", "x.00000000.log",
                           "app.2014080x.log", "x.99991231.log", "app.20100101.txt"}) {
    folder.Add(name);
  }
  const Names before = folder.Entries();
  const RunResult run = RunTarnwell({"/DeleteAfterDays=7", "/Path=" + folder.Text()});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.messages, Deleted(0));
  EXPECT_EQ(folder.Entries(), before);
}

TEST(Sweep, ADateBeyondTheCalendarLeavesThatFileAndGoesOn) {
  TestFolder folder;
  const Names bad = {"x.99999999.log", "y.99991299.log"};
  for (const std::string& name : bad) folder.Add(name);
  for (int i = 0; i < 8; ++i) folder.Add(LogName("app" + std::to_string(i), -20 - i));
  const RunResult run = RunTarnwell({"/DeleteAfterDays=7", "/Path=" + folder.Text()});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.messages, Deleted(8));
  EXPECT_TRUE(run.errors.empty());
  EXPECT_EQ(folder.Entries(), bad);
}

TEST(Sweep, AFolderThatDoesNotExistCountsNothing) {
  TestFolder folder;
  const RunResult run =
      RunTarnwell({"/DeleteAfterDays=7", "/Path=" + Utf8(folder.Path() / "missing")});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.messages, Deleted(0));
}

TEST(Silent, AnyCaseAnywhereSuppressesOnlyTheCount) {
  for (const char* silent : {"/Silent", "/SILENT", "/silent", "x/Silentium"}) {
    SCOPED_TRACE(silent);
    TestFolder folder;
    folder.Add(LogName("app", -8));
    const RunResult run = RunTarnwell({"/DeleteAfterDays=7", silent, "/Path=" + folder.Text()});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_TRUE(run.messages.empty());
    EXPECT_TRUE(folder.Entries().empty());
  }
}

TEST(CommandLine, TakesQuotedPathsWithBlanksAndKeysInAnyCase) {
  for (const char* leaf : {"my logs", "Protokolle \xC3\xA4\xC3\xB6\xC3\xBC", "two  blanks"}) {
    TestFolder folder(leaf);
    const std::vector<std::vector<std::string>> forms = {
        {"/DeleteAfterDays=7", "/Path=" + folder.Text()},
        {"/DeleteAfterDays=7", "/Path=\"" + folder.Text() + "\""},
        {"/Path=" + folder.Text(), "/deleteafterdays=7"},
    };
    for (const auto& arguments : forms) {
      SCOPED_TRACE(::testing::PrintToString(arguments));
      const std::string young = LogName("young", -1);
      folder.Add(LogName("old", -8));
      folder.Add(young);
      const RunResult run = RunTarnwell(arguments);
      EXPECT_EQ(run.exit_code, 0);
      EXPECT_EQ(run.messages, Deleted(1));
      EXPECT_EQ(folder.Entries(), Names{young});
    }
  }
}

}  // namespace
}  // namespace tarnwell::e2e
