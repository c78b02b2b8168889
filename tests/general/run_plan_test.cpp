// The run plan: a command line in, the sweep and the run's choices, or the usage and why,
// out. Rows with `arguments` are POSIX runs, whose text is rebuilt from the argument vector.
#include "general/run_plan.h"

#include <gtest/gtest.h>

#include <tuple>

#include "general/argument_text.h"

namespace tarnwell {
namespace {

constexpr char kRun[] = "<run>";
constexpr char kNoDays[] = "/DeleteAfterDays=<NumberOfDays> is missing";
constexpr char kNoFolder[] = "/Path names no folder";
constexpr char kKeepRange[] = ": the count must be a whole number from 1 to 1000000";
const RunChoices kSilent = {.silent = true};

std::vector<NamePattern> Patterns(std::string_view value) {
  std::string ignored;
  return ParseNamePatterns(value, &ignored).value();
}

struct Row {
  std::string command_line = "";
  std::vector<std::string> arguments = {};
  std::string usage = kRun;  // the reason for the usage message, or kRun
  bool overflow = false;     // reading the day count raises Overflow
  Rule sweep = {};           // compared for runs only
  RunChoices choices = {};
  bool rules = false;
};

TEST(ReadRunPlan, ReadsTheSweepAndTheChoicesOrRefusesWithTheReason) {
  const std::string my_logs = R"(C:\My Logs)";
  const Row rows[] = {
      // The day count: read leniently, rounded half to even, above 0.
      {.command_line = "", .usage = kNoDays},
      {.command_line = "/DeleteAfterDays=0",
       .usage = "/DeleteAfterDays=0 is no positive number of days"},
      {.command_line = "/DeleteAfterDays=0.5",
       .usage = "/DeleteAfterDays=0.5 is no positive number of days"},
      {.command_line = "/DeleteAfterDays=0.6", .sweep = {.days = 1}},
      {.command_line = "/deleteafterdays=7days", .sweep = {.days = 7}},
      {.command_line = "/DeleteAfterDays=99999999999 x/SILENTium",
       .overflow = true,
       .choices = kSilent},
      {.command_line = "/Silent", .usage = kNoDays, .choices = kSilent},
      // The folder: /Path alone decides; a mention that yields no folder is refused.
      {.command_line = R"(/DeleteAfterDays=7 /Path=D:\Logs /SILENT)",
       .sweep = {.folder = R"(D:\Logs)", .days = 7},
       .choices = kSilent},
      {.command_line = R"(/DeleteAfterDays=7 /Path="C:\My Logs")",
       .sweep = {.folder = my_logs, .days = 7}},
      {.command_line = R"(/DeleteAfterDays=7 /Path=C:\My Logs)",
       .sweep = {.folder = R"(C:\My)", .days = 7}},
      {.command_line = R"(/DeleteAfterDays=7 /PATH=C:\A /Path=C:\B)",
       .sweep = {.folder = R"(C:\A)", .days = 7}},
      {.command_line = R"(/Path="D:\x /DeleteAfterDays=3")",
       .sweep = {.folder = R"(D:\x /DeleteAfterDays=3)", .days = 3}},
      {.command_line = "/DeleteAfterDays=7 /Path=", .usage = kNoFolder},
      {.command_line = R"(/DeleteAfterDays=7 /Path="")", .usage = kNoFolder},
      {.command_line = R"(/DeleteAfterDays=7 x/Path=D:\Logs)", .usage = kNoFolder},
      // /Keep: a whole number from 1 to 1000000 in digits wherever it starts a word.
      {.command_line = "/DeleteAfterDays=7 /KEEP=1000000", .sweep = {.days = 7, .keep = 1000000}},
      {.command_line = "/DeleteAfterDays=7 /Keep=0", .usage = std::string("/Keep=0") + kKeepRange},
      {.command_line = "/DeleteAfterDays=7 /Keep=1.5",
       .usage = std::string("/Keep=1.5") + kKeepRange},
      {.command_line = "/DeleteAfterDays=7 /Keep 7", .usage = "'/Keep' without '=' and a value"},
      // /Names and /Depth: refused as their values cannot be read; /Depth walks a /Path only.
      {.command_line = "/DeleteAfterDays=7 /Names=app.log",
       .usage = "/Names=app.log: no date field in 'app.log'"},
      {.command_line = R"(/DeleteAfterDays=7 /Path=D:\Logs /Depth=17)",
       .usage = "/Depth=17: the depth must be a whole number from 0 to 16"},
      {.command_line = "/DeleteAfterDays=7 /Depth=1",
       .usage = "/Depth=1 needs /Path: the default sweep is never walked"},
      {.command_line = R"(/DeleteAfterDays=7 /Depth=0 /Names="x{yyyyMMdd}.log|y{yyMMdd}")",
       .sweep = {.days = 7, .names = Patterns("x{yyyyMMdd}.log|y{yyMMdd}")}},
      // The caps: sizes with binary units, a free-space floor in bytes or percent.
      {.command_line = "/DeleteAfterDays=7 /MaxSize=0",
       .usage = "/MaxSize=0: a size is a whole number of bytes, or one with K, M, G or T"},
      {.command_line = "/DeleteAfterDays=7 /MinFree=100%",
       .usage = "/MinFree=100%: a size is a whole number of bytes, or one with K, M, G or T, or a "
                "percentage from 1% to 99%"},
      {.command_line = "/DeleteAfterDays=7 /MaxSize=4G /MinFree=10%",
       .sweep = {.days = 7,
                 .max_size = std::uint64_t{4} << 30,
                 .min_free = FreeFloor{.percent = 10},
                 .max_size_text = "/MaxSize=4G",
                 .min_free_text = "/MinFree=10%"}},
      // Flags count as whole words only.
      {.command_line = "/LIST /DeleteAfterDays=7 /whatif",
       .sweep = {.days = 7},
       .choices = {.what_if = true, .list = true}},
      {.command_line = R"(/DeleteAfterDays=7 /Path=D:\WhatIfLogs\/List)",
       .sweep = {.folder = R"(D:\WhatIfLogs\/List)", .days = 7}},
      // /Rules alone has no sweep of its own, so a switch of one is refused.
      {.command_line = "/RULES /Silent", .choices = kSilent, .rules = true},
      {.command_line = "/Rules /DeleteAfterDays=7 /Keep=2",
       .sweep = {.days = 7, .keep = 2},
       .rules = true},
      {.command_line = "/Rules /Keep=2",
       .usage = "/Keep without /DeleteAfterDays: each rule carries its own",
       .rules = true},
      {.command_line = R"(/Rules x/Path=D:\Logs)",
       .usage = "/Path without /DeleteAfterDays: each rule carries its own",
       .rules = true},
      {.command_line = "/Rules /DeleteAfterDays=", .usage = kNoDays, .rules = true},
      // A word written as a switch must be one this program knows, in its form.
      {.command_line = "/DeleteAfterDays=7 /WhatsIf", .usage = "unknown switch '/WhatsIf'"},
      {.command_line = "/DeleteAfterDays=7 --dry-run", .usage = "unknown switch '--dry-run'"},
      {.command_line = R"(/DeleteAfterDays=7 /Pth="D:\My Logs")", .usage = "unknown switch '/Pth'"},
      {.command_line = "/DeleteAfterDays = 5",
       .usage = "'/DeleteAfterDays' without '=' and a value"},
      {.command_line = "/DeleteAfterDays=7 /WhatIf=yes",
       .usage = "'/WhatIf=yes': /WhatIf takes no value"},
      {.command_line = "/DeleteAfterDays=7 /?", .usage = ""},
      // Words that are not written as switches keep their meaning on Windows.
      {.command_line = R"(/DeleteAfterDays=7 x/Silentium /Path="D:\a b" c)",
       .sweep = {.folder = R"(D:\a b)", .days = 7},
       .choices = kSilent},
      // POSIX: every argument is a switch, and /Path reads as its argument holds it.
      {.arguments = {"/DeleteAfterDays=7", "/Path=/srv/my logs"},
       .sweep = {.folder = "/srv/my logs", .days = 7}},
      {.arguments = {"/DeleteAfterDays=7", "/Path=\"/srv/my logs\""},
       .sweep = {.folder = "/srv/my logs", .days = 7}},
      {.arguments = {"/DeleteAfterDays=7", "/var/log/app"},
       .usage = "unknown switch '/var/log/app'"},
      {.arguments = {"/DeleteAfterDays=7", "logs"},
       .usage = "unexpected argument 'logs' (a folder is given as /Path=FOLDER)"},
      {.arguments = {"/DeleteAfterDays=7", "x/Silentium"},
       .usage = "unexpected argument 'x/Silentium' (a folder is given as /Path=FOLDER)",
       .choices = kSilent},
      {.arguments = {"/DeleteAfterDays=7", "/Path=/srv/x "},
       .usage = "/Path would be read as '/srv/x', not as its argument holds it"},
  };
  for (const Row& row : rows) {
    const bool posix = !row.arguments.empty();
    const std::string text = posix ? ArgumentTextFromArguments(row.arguments) : row.command_line;
    const RunPlan plan = ReadRunPlan(text, posix ? &row.arguments : nullptr);
    const bool runs = !plan.usage && !plan.error;
    EXPECT_EQ(
        std::tuple(plan.usage.value_or(kRun), plan.error.has_value(), plan.choices, plan.rules),
        std::tuple(row.usage, row.overflow, row.choices, row.rules))
        << text;
    if (runs) {
      EXPECT_EQ(plan.sweep, row.sweep) << text;
    }
  }
}

}  // namespace
}  // namespace tarnwell
