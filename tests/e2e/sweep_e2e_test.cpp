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

// /Keep=N: in a folder, the N newest logs of each stem stay whatever their age, by the date
// in the name and then the name; the preview counts and lists what the run then deletes.
// Each case is a folder of the consecutive rows that share its text.
TEST(Run, KeepsTheNewestLogsOfEachStemWhateverTheirAge) {
  const struct {
    const char* what;
    int keep;
    std::string name;  // "#" stands for the date `days` from today
    int days;
    bool stays;
    bool read_only = false;
  } rows[] = {
      {"stems with interleaved dates", 1, "a.#.log", -40, false},
      {"stems with interleaved dates", 1, "b.#.log", -39, false},
      {"stems with interleaved dates", 1, "a.#.log", -38, true},
      {"stems with interleaved dates", 1, "b.#.log", -37, true},
      {"a read-only log among the newest counts", 2, "a.#.log", -30, false},
      {"a read-only log among the newest counts", 2, "a.#.log", -20, true, true},
      {"a read-only log among the newest counts", 2, "a.#.log", -10, true},
      {"young logs fill the count", 1, "a.#.log", 0, true},
      {"young logs fill the count", 1, "a.#.log", -30, false},
      {"stems differing only in case are one", 1, "app.#.log", -30, false},
      {"stems differing only in case are one", 1, "APP.#.log", -20, true},
      {"a name that is no date does not count", 1, "a.99999999.log", 0, true},
      {"a name that is no date does not count", 1, "a.#.log", -30, true},
      // Names differing in case only: Linux alone holds both.
      {"a tie on one date: the greater name is the newer", 1, "app.#.log", -30, true},
      {"a tie on one date: the greater name is the newer", 1, "APP.#.log", -30, false},
  };
  for (auto row = std::begin(rows); row != std::end(rows);) {
    const std::string what = row->what;
    SCOPED_TRACE(what);
    TestFolder folder;
    Names left;
    std::size_t logs = 0;
    for (; row != std::end(rows) && row->what == what; ++row, ++logs) {
      std::string name = row->name;
      if (const std::size_t at = name.find('#'); at != std::string::npos) {
        name.replace(at, 1, LogName("", row->days).substr(1, 8));
      }
      folder.Add(name, row->read_only);
      if (row->stays) left.insert(name);
    }
    if (what.starts_with("a tie") && !kNamesDifferInCase) continue;
    const Lines arguments = {"/DeleteAfterDays=7", "/Path=" + folder.Text(),
                             "/Keep=" + std::to_string((row - 1)->keep), "/List"};
    Lines previewing = arguments;
    previewing.push_back("/WhatIf");
    const RunResult preview = Separated(RunTarnwell(previewing));
    const RunResult run = Separated(RunTarnwell(arguments));
    const std::size_t gone = logs - left.size();
    EXPECT_EQ(preview.messages, Lines{std::to_string(gone) + " Debug files would be deleted"});
    EXPECT_EQ(std::tuple(run.exit_code, run.messages, folder.Entries(), run.output),
              std::tuple(0, Deleted(int(gone)), left, preview.output));
  }
}

}  // namespace
}  // namespace tarnwell::e2e
