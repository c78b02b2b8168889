// /Names patterns: what is refused, and the date and stem each pattern reads from a name.
#include "general/name_pattern.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace tarnwell {
namespace {

std::vector<NamePattern> Parse(std::string_view value) {
  std::string reason;
  auto patterns = ParseNamePatterns(value, &reason);
  EXPECT_TRUE(patterns) << value << ": " << reason;
  return patterns.value_or(std::vector<NamePattern>{});
}

// "2014-08-04 u_ex": the date read and the stem, after "#1 " when the second pattern
// matched; "none" when none did.
std::string Outcome(std::string_view value, std::string_view name, int window = 2029) {
  const std::optional<NameMatch> match = MatchName(Parse(value), name, window);
  if (!match) return "none";
  using namespace std::chrono;
  const year_month_day date{sys_days{year{1899} / December / 30} + days{match->date}};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u ", int(date.year()), unsigned(date.month()),
                unsigned(date.day()));
  return (match->pattern > 0 ? "#" + std::to_string(match->pattern) + " " : "") + text +
         match->Stem(name);
}

std::string Times(int count, std::string_view text) {
  std::string times;
  for (int i = 0; i < count; ++i) times += text;
  return times;
}

// Refused with a reason, or accepted and each pattern's Text as written.
TEST(NamePattern, ParsesOrRefusesWithAReason) {
  const struct {
    std::string value;
    const char* reason;  // "": accepted
  } rows[] = {
      {"", "no pattern"},
      {"a{yyyyMMdd}||b{yyyyMMdd}", "empty pattern in 'a{yyyyMMdd}||b{yyyyMMdd}'"},
      {"a{yyyyMMdd}|x.log", "no date field in 'x.log'"},
      {"a{yyyy}{MMdd}.log", "two date fields in 'a{yyyy}{MMdd}.log'"},
      {"a{yyyyMMdd.log", "unbalanced brace in 'a{yyyyMMdd.log'"},
      {"a{yy{MM}dd}.log", "unbalanced brace in 'a{yy{MM}dd}.log'"},
      {"{YYYYMMdd}", "'YYYY' in '{YYYYMMdd}' is none of yyyy yy MM dd HH mm ss"},
      {"{yyyyMMdd*}", "'*' in '{yyyyMMdd*}' is none of yyyy yy MM dd HH mm ss"},
      {"{yyyyMMddyy}", "two years in the date field of '{yyyyMMddyy}'"},
      {"{MMdd}", "no year (yyyy or yy) in the date field of '{MMdd}'"},
      {"{yyyy-mm-dd}", "no month (MM) in the date field of '{yyyy-mm-dd}'"},
      {"{yyyyMM}", "no day (dd) in the date field of '{yyyyMM}'"},
      {"logs/{yyyyMMdd}.log", "folder separator '/' in 'logs/{yyyyMMdd}.log'"},
      {"logs\\{yyyyMMdd}.log", "folder separator '\\' in 'logs\\{yyyyMMdd}.log'"},
      {std::string(246, 'a') + "{yyyyMMdd}", "pattern of 256 characters (255 at most)"},
      {Times(245, "\u00e9") + "{yyyyMMdd}", ""},
      {"*.{yyyyMMdd}.log|{dd.MM.yy HH_mm-ss}", ""},
  };
  for (const auto& row : rows) {
    std::string reason;
    const auto patterns = ParseNamePatterns(row.value, &reason);
    std::string texts;
    for (const NamePattern& pattern : patterns.value_or(std::vector<NamePattern>{}))
      texts += (texts.empty() ? "" : "|") + pattern.Text();
    EXPECT_EQ(patterns ? texts : reason, *row.reason ? row.reason : row.value) << row.value;
  }
}

// Each example with a date, a day no calendar has, the wrong number of digits and a case
// difference in its letters; the stem is all before the field.
TEST(NamePattern, ReadsTheDateAndStemOfEachExample) {
  const struct {
    const char* pattern;
    const char* name;
    const char* outcome;
  } rows[] = {
      {"u_ex{yyMMdd}.log", "u_ex140804.log", "2014-08-04 u_ex"},
      {"u_ex{yyMMdd}.log", "U_EX140804.LOG", "2014-08-04 u_ex"},
      {"u_ex{yyMMdd}.log", "u_ex140230.log", "none"},
      {"u_ex{yyMMdd}.log", "u_ex1408041.log", "none"},
      {"u_ex{yyMMddHH}.log", "u_ex14080423.log", "2014-08-04 u_ex"},
      {"u_ex{yyMMddHH}.log", "u_ex14080424.log", "none"},
      {"*-{yyyy-MM-dd}.log", "My-App-2014-08-04.log", "2014-08-04 my-app-"},
      {"*-{yyyy-MM-dd}.log", "app-2014-8-4.log", "none"},
      {"*-{yyyy-MM-dd}.log", "app_2014-08-04.log", "none"},
      {"*-{yyyy-MM-dd}.log", "-2000-02-29.log", "2000-02-29 -"},
      {"*-{yyyy-MM-dd}.log", "app-2014-04-31.log", "none"},
      {"*.{yyyy-MM-dd}.log.gz", "app.2014-08-04.log.gz", "2014-08-04 app."},
      {"*.{yyyy-MM-dd}.*.log", "app.2014-08-04.0.log", "2014-08-04 app."},
      {"*.{yyyy-MM-dd}.*.log", "a.b.2014-08-04.17.LOG", "2014-08-04 a.b."},
      {"*.{yyyy-MM-dd}.*.log", "a.2014-08-04.2014-08-05.0.log", "2014-08-04 a."},
      {"*.{yyyy-MM-dd}.*.log", "a.2014-02-30.2014-08-05.0.log", "2014-08-05 a.2014-02-30."},
      {"*.{yyyy-MM-dd}.*.log", "app.2014-08-04.log", "none"},
      {"log{yyyyMMdd}.txt", "LOG20140804.Txt", "2014-08-04 log"},
      {"*-{yyyyMMdd}.gz", "app-20140804.gz", "2014-08-04 app-"},
      {"*.log-{yyyyMMdd}", "syslog.log-20140804", "2014-08-04 syslog.log-"},
      {"*.log-{yyyyMMdd}", "syslog.log-2014080x", "none"},
      {"*.{yyyyMMdd}.log", "trace.20140804.log", "2014-08-04 trace."},
      {"*.{yyyyMMdd}.log", "trace.00140804.log", "none"},
      {"*.{yyyyMMdd}.log", "trace.20140804.20150105.log", "2015-01-05 trace.20140804."},
      // What stands between stars keeps its side of the field.
      {"*_x_*.{yyyyMMdd}.*_y_*.log", "A_X_B.20140804.C_Y_D.log", "2014-08-04 a_x_b."},
      {"*_x_*??{yyyyMMdd}.log", "_x_\u00e920140804.log", "none"},
      {"*.{yyyyMMdd}??*_y_*.log", "a.20140804\u00e9_y_.log", "none"},
      // "?" takes one character, however many bytes it is.
      {"log?{yyyyMMdd}.txt", "log\u00e920140804.txt", "2014-08-04 log\u00e9"},
      {"log?{yyyyMMdd}.txt", "log20140804.txt", "none"},
      {"*??{yyyyMMdd}.log", "\u20ac20140804.log", "none"},
      {"*??{yyyyMMdd}.log", "x\u20ac20140804.log", "2014-08-04 x\u20ac"},
      {"{ddMMyy_HH.mm.ss}.log", "040814_23.59.59.log", "2014-08-04 "},
      {"{ddMMyy_HH.mm.ss}.log", "040814_23.60.59.log", "none"},
      // A name counts under the first pattern it matches.
      {"u_ex{yyMMdd}.log|u_ex{yyMMddHH}.log", "u_ex14080412.log", "#1 2014-08-04 u_ex"},
      {"*.{yyyyMMdd}.*|*{yyyyMMdd}.log", "a.20140804.20150105.log", "2014-08-04 a."},
  };
  for (const auto& row : rows) EXPECT_EQ(Outcome(row.pattern, row.name), row.outcome) << row.name;
}

// The placed year decides the leap day: 2100 has none.
TEST(NamePattern, PlacesTwoDigitYearsInTheWindow) {
  const struct {
    int window;
    const char* name;
    const char* outcome;
  } rows[] = {
      {2029, "u_ex290804.log", "2029-08-04 u_ex"},
      {2029, "u_ex300804.log", "1930-08-04 u_ex"},
      {2049, "u_ex300804.log", "2030-08-04 u_ex"},
      {2029, "u_ex000229.log", "2000-02-29 u_ex"},
      {2199, "u_ex000229.log", "none"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Outcome("u_ex{yyMMdd}.log", row.name, row.window), row.outcome)
        << row.name << " " << row.window;
  }
}

// A matcher that tries every split of every star afresh never finishes these.
TEST(NamePattern, MatchesManyStarsAgainstLongNamesInBoundedTime) {
  const std::string pattern = Times(60, "*a") + "{yyyyMMdd}" + Times(60, "*a") + "b";
  const std::string name = std::string(700, 'a') + "20140804" + std::string(70, 'a');
  EXPECT_EQ(Outcome(pattern, name), "none");
  EXPECT_EQ(Outcome(pattern, name + "b"), "2014-08-04 " + std::string(700, 'a'));
}

}  // namespace
}  // namespace tarnwell
