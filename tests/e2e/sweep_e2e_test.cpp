// Black-box runs of the built program on real folders, on both targets: what a user sees
// (messages, exit status) and what is left in the folder afterwards.
#include "tests/e2e/e2e.h"

namespace tarnwell::e2e {
namespace {

const Lines kUsage = {
    "Usage: Tarnwell.exe /DeleteAfterDays=<NumberOfDays> [/Path=<PathToExamine] [/Silent]"};
const Lines kOverflow = {"Run-time error '6': Overflow"};
#ifdef _WIN32
const Lines kSilentOverflow = {};  // no box that an unattended run would wait on
#else
const Lines kSilentOverflow = kOverflow;
#endif

TEST(Run, UsageAndOverflowOfTheDayCountTouchNothing) {
  TestFolder folder;
  const std::string old_log = LogName("app", -30), path = "/Path=" + folder.Text();
  folder.Add(old_log);
  const std::string overflow = "/DeleteAfterDays=99999999999";
  const std::tuple<Lines, int, Lines, Lines> rows[] = {
      // arguments, exit status, messages, errors
      {{}, 2, kUsage, {}},
      {{path}, 2, kUsage, {}},
      {{"/DeleteAfterDays=0", path}, 2, kUsage, {}},
      {{"/DeleteAfterDays=-3", path}, 2, kUsage, {}},
      {{"/DeleteAfterDays=abc", path}, 2, kUsage, {}},
      {{"/DeleteAfterDays=0.5", path}, 2, kUsage, {}},
      {{"/DeleteAfterDays=", path}, 2, kUsage, {}},
      {{"/Silent"}, 2, kUsage, {}},
      {{"/DeleteAfterDays=0", path, "/Silent"}, 2, kUsage, {}},
      {{overflow, path}, 1, {}, kOverflow},
      {{overflow, "x/SILENTium", path}, 1, {}, kSilentOverflow},
  };
  for (const auto& [arguments, exit_code, messages, errors] : rows) {
    SCOPED_TRACE(testing::PrintToString(arguments));
    const RunResult run = RunTarnwell(arguments);
    EXPECT_EQ(run.exit_code, exit_code);
    EXPECT_EQ(run.messages, messages);
    EXPECT_EQ(run.errors, errors);
  }
  EXPECT_EQ(folder.Entries(), Names{old_log});
}

TEST(Run, DeletesLogsOlderThanTheRoundedDayCountWhateverThePathAndSilentForm) {
  const char* const blanks = "my  logs \xC3\xA4\xC3\xB6\xC3\xBC";
  // The day count, the limit it rounds to, a silent switch, the folder's leaf, quotes around it.
  const std::tuple<const char*, int, const char*, const char*, const char*> rows[] = {
      {"0.6", 1, "", "", ""},          {"1.5", 2, "", "", ""},      {"2.5", 2, "", "", ""},
      {"3.49", 3, "", "", ""},         {"7days", 7, "", "", ""},    {"1e1", 10, "", "", ""},
      {"&HA", 10, "", "", ""},         {"7", 7, "/Silent", "", ""}, {"7", 7, "/SILENT", "", ""},
      {"7", 7, "x/silentium", "", ""}, {"7", 7, "", blanks, ""},    {"7", 7, "", blanks, "\""},
  };
  for (const auto& [days, limit, silent, leaf, quote] : rows) {
    TestFolder folder(leaf);
    const std::string at_limit = LogName("at", -limit);
    folder.Add(at_limit);
    folder.Add(LogName("over", -limit - 1));
    Lines arguments = {std::string("/DeleteAfterDays=") + days,
                       "/Path=" + (quote + folder.Text() + quote)};
    if (*silent) arguments.push_back(silent);
    SCOPED_TRACE(testing::PrintToString(arguments));
    const RunResult run = RunTarnwell(arguments);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.messages, *silent ? Lines{} : Deleted(1));
    EXPECT_TRUE(run.errors.empty());
    EXPECT_EQ(folder.Entries(), Names{at_limit});
  }
}

TEST(Run, DeletesOnlyOrdinaryDatedLogFilesAndGoesOnPastBadDates) {
  TestFolder folder;
  const std::string upper = LogName("upper", -8);
  const Names deleted = {LogName("app", -8), LogName("a.b", -400), LogName("my trace", -10),
                         upper.substr(0, upper.size() - 3) + "LOG"};
  const Names kept = {LogName("app", -7),   LogName("app", 0),  LogName("app", 12),
                      LogName(".dot", -30), "x.99999999.log",   "y.99991299.log",
                      "x.99991231.log",     "x.00000000.log",   "app.2014081.log",
                      "app.2014080x.log",   "app.20100101.txt", "readme.log"};
  for (const Names* names : {&deleted, &kept}) {
    for (const std::string& name : *names) folder.Add(name);
  }
  folder.Add(LogName("read-only", -30), true);
  fs::create_directory(folder.Path() / LogName("folder", -30));
#ifndef _WIN32
  fs::create_symlink("readme.log", folder.Path() / LogName("link", -30));
  fs::create_symlink("gone", folder.Path() / LogName("dangling", -30));
#endif
  Names left = folder.Entries();
  for (const std::string& name : deleted) left.erase(name);
  const RunResult run = RunTarnwell({"/DeleteAfterDays=7", "/Path=" + folder.Text()});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.messages, Deleted(4));
  EXPECT_TRUE(run.errors.empty());
  EXPECT_EQ(folder.Entries(), left);
}

}  // namespace
}  // namespace tarnwell::e2e
