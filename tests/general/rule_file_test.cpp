// Rules files: the rules a text holds, each named by the file and its position, or refused
// with the line and why. (That each switch's value reads as the switch reads it is the run
// plan's table.)
#include "general/rule_file.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tarnwell {
namespace {

constexpr char kPath[] = "/etc/tarnwell/rules.d/app.conf";

ConfiguredRule Refused(const std::string& name, int line, const std::string& why) {
  return {.name = name, .fault = kPath + (":" + std::to_string(line)) + ": " + why};
}

TEST(ParseRuleFile, ReadsEachSectionAsARuleOrRefusesItWithItsLine) {
  std::string ignored;
  const Rule every_key = {.folder = " /srv/my logs ",
                          .days = 1000000,
                          .keep = 2,
                          .names = ParseNamePatterns("*-{yyyy-MM-dd}.log", &ignored).value(),
                          .depth = 16,
                          .max_size = std::uint64_t{4} << 30,
                          .min_free = FreeFloor{.percent = 10},
                          .max_size_text = "/MaxSize=4G",
                          .min_free_text = "/MinFree=10%"};
  const struct {
    std::string text;
    std::vector<ConfiguredRule> rules;
  } rows[] = {
      {.text = "# none yet\n; nor here\n\n", .rules = {}},
      {.text = "\xEF\xBB\xBF[Rule]\r\n  path = /var/log/a \r\n# x\r\n\tDELETEAFTERDAYS=7\r\n"
               "[ rule ]\nPath=\" /srv/my logs \"\nDeleteAfterDays=1000000\nkeep=2\n"
               "Names=*-{yyyy-MM-dd}.log\nDepth=16\nMaxSize=4G\nMinFree=10%",
       .rules = {{.name = "app.conf", .rule = {.folder = "/var/log/a", .days = 7}},
                 {.name = "app.conf#2", .rule = every_key}}},
      // A bad rule costs only itself: the good one after the bad ones is read.
      {.text = "[Rule]\nPath=/a\nDeleteAfterDays=0\n[Rule]\nPath=/a\nDeleteAfterDays=7days\n"
               "[Rule]\nPath=/a\nDeleteAfterDays=7\nKeep=0\n[Rule]\nKepe=3\n"
               "[Rule]\nPath=/a\npath=/b\n[Rule]\nDeleteAfterDays=7\n[Rule]\nPath=/a\n"
               "[Logs]\n[Rule]\nPath /a\n[Rule]\nPath=\n[Rule]\nPath=/c\nDeleteAfterDays=9\n",
       .rules = {Refused("app.conf", 3,
                         "DeleteAfterDays=0: the days must be a whole number from 1 to 1000000"),
                 Refused(
                     "app.conf#2", 6,
                     "DeleteAfterDays=7days: the days must be a whole number from 1 to 1000000"),
                 Refused("app.conf#3", 10,
                         "Keep=0: the count must be a whole number from 1 to 1000000"),
                 Refused("app.conf#4", 12, "unknown key 'Kepe'"),
                 Refused("app.conf#5", 15, "path given twice"),
                 Refused("app.conf#6", 16, "no Path"),
                 Refused("app.conf#7", 18, "no DeleteAfterDays"),
                 Refused("app.conf#8", 20,
                         "unknown section '[Logs]': a rules file holds [Rule] sections"),
                 Refused("app.conf#9", 22, "'Path /a' is no Key=Value line"),
                 Refused("app.conf#10", 24, "Path names no folder"),
                 {.name = "app.conf#11", .rule = {.folder = "/c", .days = 9}}}},
      // A rule's line before its section line: the first rule is refused, or one is made.
      {.text = "Path=/a\n[Rule]\nPath=/a\nDeleteAfterDays=7\n[Rule]\nPath=/b\nDeleteAfterDays=7",
       .rules = {Refused("app.conf", 1, "'Path=/a' before the first [Rule] line"),
                 {.name = "app.conf#2", .rule = {.folder = "/b", .days = 7}}}},
      {.text = "DeleteAfterDays=7\n",
       .rules = {Refused("app.conf", 1, "'DeleteAfterDays=7' before the first [Rule] line")}},
  };
  for (const auto& row : rows) {
    std::vector<ConfiguredRule> rules = ParseRuleFile("app.conf", kPath, row.text);
    for (ConfiguredRule& rule : rules)
      if (!rule.fault.empty()) rule.rule = {};  // what was read before the fault
    EXPECT_EQ(rules, row.rules) << row.text;
  }
}

}  // namespace
}  // namespace tarnwell
