// Black-box runs of the built program on real folders, on both targets: what a user sees
// (messages, exit status) and what is left in the folder afterwards. The number and switch
// rules themselves are tabled in the unit tests; these rows show the program applies them.
#include <tuple>

#include "tests/e2e/e2e.h"

namespace tarnwell::e2e {
namespace {

const Lines kOverflow = {"Run-time error '6': Overflow"};

// A refused command line shows the usage message and says why, even under /Silent, and an
// overflowing day count ends the run; neither touches a file. (Which command lines are
// refused, and why, is the run plan's table.)
TEST(Run, UsageAndOverflowOfTheDayCountTouchNothing) {
  TestFolder folder;
  const std::string old_log = LogName("app", -30), path = "/Path=" + folder.Text();
  folder.Add(old_log);
  const std::string overflow = "/DeleteAfterDays=99999999999";
  const struct {
    Lines arguments;
    int exit_code;
    Lines messages = {}, errors = {};
  } rows[] = {
      {.arguments = {},
       .exit_code = 2,
       .messages = kUsage,
       .errors = {Refusal("/DeleteAfterDays=<NumberOfDays> is missing")}},
      {.arguments = {"/Silent"},
       .exit_code = 2,
       .messages = kUsage,
       .errors = {Refusal("/DeleteAfterDays=<NumberOfDays> is missing")}},
      // A mistyped safety switch must not turn into a run without it.
      {.arguments = {"/DeleteAfterDays=7", path, "/WhatsIf"},
       .exit_code = 2,
       .messages = kUsage,
       .errors = {Refusal("unknown switch '/WhatsIf'")}},
      {.arguments = {"/DeleteAfterDays=7", path, "/Keep=0"},
       .exit_code = 2,
       .messages = kUsage,
       .errors = {Refusal("/Keep=0: the count must be a whole number from 1 to 1000000")}},
      {.arguments = {"/DeleteAfterDays=7", "/?"}, .exit_code = 2, .messages = kUsage},
      {.arguments = {overflow, path}, .exit_code = 1, .errors = kOverflow},
      {.arguments = {overflow, "/SILENT", path},
       .exit_code = 1,
       .errors = kSilentHidesErrors ? Lines{} : kOverflow},
  };
  for (const auto& row : rows) {
    const RunResult run = RunTarnwell(row.arguments);
    EXPECT_EQ(std::tuple(run.exit_code, run.messages, run.errors),
              std::tuple(row.exit_code, row.messages, row.errors))
        << testing::PrintToString(row.arguments);
  }
  EXPECT_EQ(folder.Entries(), Names{old_log});
}

// The run with its /List record in `output` and its one message in `messages`: on Linux
// both share standard output, the message last.
RunResult Separated(RunResult run) {
  const auto message = run.messages.end() - (run.messages.empty() ? 0 : 1);
  run.output.insert(run.output.begin(), run.messages.begin(), message);
  run.messages.erase(run.messages.begin(), message);
  return run;
}

// A name that is no date (x.99999999.log carries past 31 December 9999) leaves that file
// alone and the sweep goes on. The preview (/WhatIf, a whole switch only: the folder's path
// holds "/WhatIf" inside a word) counts and lists exactly what the real run then deletes and
// records.
TEST(Run, DeletesOnlyOrdinaryDatedLogFilesAsThePreviewSaidAndRecordsEach) {
  TestFolder folder("logs \xC3\xA4/WhatIf");
  const std::string upper = LogName("upper", -8), inner = LogName("folder", -30) + "/x.log";
  Names deleted = {LogName("app", -8), LogName("a.b", -400), LogName("my trace", -10),
                   LogName("\xC3\xA9t\xC3\xA9", -30), upper.substr(0, upper.size() - 3) + "LOG"};
  folder.Create(deleted);
  folder.Create({LogName("app", -7), LogName("app", 0), LogName("app", 12), LogName(".dot", -30),
                 "x.99999999.log", "x.99991231.log", "x.00000000.log", "app.2014081.log",
                 "app.2014080x.log", "app.20100101.txt", "\xC3\xA9t\xC3\xA9.20100101.txt",
                 "readme.log"});
  folder.Add(LogName("read-only", -30), true);
  fs::create_directory(folder.Path() / LogName("folder", -30));
  folder.Add(inner);
  AddEntriesNeverDeleted(folder);
  const Names before = folder.Entries();
  Names left = before, record;
  for (const std::string& name : deleted) {
    left.erase(name);
    record.insert(Utf8((folder.Path() / FromUtf8(name)).make_preferred()));
  }
  const Lines real_run = {"/DeleteAfterDays=7", "/Path=" + folder.Text(), "/List"};
  const RunResult preview = Separated(RunTarnwell({real_run[0], real_run[1], "/LIST", "/whatif"}));
  EXPECT_EQ(preview.messages, Lines{"5 Debug files would be deleted"});
  EXPECT_EQ(folder.Entries(), before);
  const RunResult run = Separated(RunTarnwell(real_run));
  EXPECT_EQ(std::tuple(preview.exit_code, run.exit_code, run.errors), std::tuple(0, 0, Lines{}));
  EXPECT_EQ(std::tuple(run.messages, folder.Entries()), std::tuple(Deleted(5), left));
  EXPECT_EQ(Names(run.output.begin(), run.output.end()), record);
  EXPECT_EQ(preview.output, run.output);  // one line each, in the same order
  EXPECT_TRUE(fs::exists(folder.Path() / FromUtf8(inner)));
}

// /Keep=N: in a folder, the N newest logs of each stem stay whatever their age; young logs
// count toward them, a read-only one counts (and stays anyway), a name that is no date does
// not. The preview counts and lists what the run then deletes. (Which logs are the newest,
// ties and letter case included, is NewestLogs' table.)
TEST(Run, KeepsTheNewestLogsOfEachStemWhateverTheirAge) {
  TestFolder folder;
  const Names gone = {LogName("a", -40), LogName("b", -30), LogName("c", -50)};
  const Names stay = {LogName("a", -20), LogName("a", -10), LogName("b", 0),  LogName("b", -20),
                      LogName("c", -40), "x.99999999.log",  LogName("x", -30)};
  folder.Create(gone);
  folder.Create(stay);
  folder.Add(LogName("c", -30), true);
  const Names left = folder.Entries();
  const Lines run_line = {"/DeleteAfterDays=7", "/Path=" + folder.Text(), "/Keep=2", "/List"};
  const RunResult preview =
      Separated(RunTarnwell({run_line[0], run_line[1], run_line[2], run_line[3], "/WhatIf"}));
  const RunResult run = Separated(RunTarnwell(run_line));
  EXPECT_EQ(preview.messages, Lines{"3 Debug files would be deleted"});
  Names after = left;
  for (const std::string& name : gone) after.erase(name);
  EXPECT_EQ(std::tuple(run.exit_code, run.messages, folder.Entries(), run.output),
            std::tuple(0, Deleted(3), after, preview.output));
}

}  // namespace
}  // namespace tarnwell::e2e
