// Black-box runs of the built program on real folders, on both targets: what a user sees
// (messages, exit status) and what is left in the folder afterwards. The number and switch
// rules themselves are tabled in the unit tests; these rows show the program applies them.
#include <map>
#include <sstream>
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
      {.arguments = {"/Silent"},
       .exit_code = 2,
       .messages = kUsage,
       .errors = {Refusal("/DeleteAfterDays=<NumberOfDays> is missing")}},
      // A mistyped safety switch must not turn into a run without it.
      {.arguments = {"/DeleteAfterDays=7", path, "/WhatsIf"},
       .exit_code = 2,
       .messages = kUsage,
       .errors = {Refusal("unknown switch '/WhatsIf'")}},
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

// /MaxSize: after the age rule, the oldest dated logs go until the rest fits, by the date in
// the name and then the path below the folder; never a log dated today, one /Keep keeps or a
// read-only one. A cap that cannot be met is said, and is no failure. The preview deletes
// exactly what the run then deletes. Each case is a folder of the consecutive rows that
// share its text; dates stay two days back at least, clear of the UTC date.
TEST(Run, CapsTheSizeOfTheDatedLogsOldestFirst) {
  const struct {
    const char* what;
    const char* switches;
    std::string name;  // "#" stands for the date `days` from today
    int days;
    int bytes;
    bool stays;
    bool read_only = false;
  } rows[] = {
      {"the age rule, then the oldest", "/MaxSize=3500", "app.#.log", -40, 100, false},
      {"the age rule, then the oldest", "/MaxSize=3500", "app.#.log", -4, 3000, false},
      {"the age rule, then the oldest", "/MaxSize=3500", "app.#.log", -3, 2000, true},
      {"the age rule, then the oldest", "/MaxSize=3500", "app.#.log", -2, 1000, true},
      {"ties on a date by path", "/MaxSize=2000", "b.#.log", -3, 1000, false},
      {"ties on a date by path", "/MaxSize=2000", "c.#.log", -3, 1000, true},
      {"ties on a date by path", "/MaxSize=2000", "a.#.log", -2, 1000, true},
      {"today's and read-only logs stay", "/MaxSize=2K", "app.#.log", 0, 5000, true},
      {"today's and read-only logs stay", "/MaxSize=2K", "ro.#.log", -3, 3000, true, true},
      {"today's and read-only logs stay", "/MaxSize=2K", "x.#.log", -2, 1000, false},
      {"the newest kept stay", "/MaxSize=1000 /Keep=1", "app.#.log", -4, 1000, false},
      {"the newest kept stay", "/MaxSize=1000 /Keep=1", "app.#.log", -3, 1000, false},
      {"the newest kept stay", "/MaxSize=1000 /Keep=1", "app.#.log", -2, 1000, true},
      {"sub-folders counted with the folder", "/MaxSize=1500 /Depth=1", "a.#.log", -3, 1000, false},
      {"sub-folders counted with the folder", "/MaxSize=1500 /Depth=1", "sub/b.#.log", -4, 1000,
       false},
      {"sub-folders counted with the folder", "/MaxSize=1500 /Depth=1", "sub/c.#.log", -2, 1000,
       true},
  };
  const std::map<std::string, Lines> notices = {
      {"today's and read-only logs stay",
       {"7.8 KiB of dated logs remain, over /MaxSize=2K; "
        "the rest is kept or dated today"}},
  };
  for (auto row = std::begin(rows); row != std::end(rows);) {
    const std::string what = row->what;
    SCOPED_TRACE(what);
    TestFolder folder;
    Names left, gone;
    Lines arguments = {"/DeleteAfterDays=30", "/Path=" + folder.Text(), "/List"};
    for (std::istringstream words(row->switches); !words.eof();) {
      arguments.emplace_back();
      words >> arguments.back();
    }
    for (; row != std::end(rows) && row->what == what; ++row) {
      std::string name = row->name;
      name.replace(name.find('#'), 1, LogName("", row->days).substr(1, 8));
      fs::create_directories((folder.Path() / name).parent_path());
      std::ofstream(folder.Path() / name) << std::string(row->bytes, 'x');
      if (row->read_only)
        fs::permissions(folder.Path() / name, fs::perms::all, fs::perm_options::remove);
      (row->stays ? left : gone).insert(name);
    }
    Lines previewing = arguments;
    previewing.push_back("/WhatIf");
    const RunResult preview = Separated(RunTarnwell(previewing));
    const RunResult run = Separated(RunTarnwell(arguments));
    Lines expected_errors;
    if (notices.contains(what))
      for (const std::string& notice : notices.at(what))
        expected_errors.push_back("tarnwell: " + Utf8(fs::path(folder.Path()).make_preferred()) +
                                  ": " + notice);
    EXPECT_EQ(preview.messages,
              Lines{std::to_string(gone.size()) + " Debug files would be deleted"});
    EXPECT_EQ(std::tuple(run.exit_code, run.messages, run.errors, run.output),
              std::tuple(0, Deleted(int(gone.size())), expected_errors, preview.output));
    for (const std::string& name : left) EXPECT_TRUE(fs::exists(folder.Path() / name)) << name;
    for (const std::string& name : gone) EXPECT_FALSE(fs::exists(folder.Path() / name)) << name;
  }
}

}  // namespace
}  // namespace tarnwell::e2e
