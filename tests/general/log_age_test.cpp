// The sweep's age test reads eight-digit dates directly; it must give the general
// date-expression route's answer for every component where the rules change, and on the
// carry, range and number edges.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/runtime_error.h"
#include "general/log_age.h"

namespace tarnwell {
namespace {

constexpr int kWindows[] = {2029, 2049, 99, 9999};
constexpr Long kLimits[] = {1, 7, 0, -1, 2147483647, -2147483647 - 1};

// Counts mismatches and shows the first few, so a wrong rule cannot flood the log.
void ExpectSameAnswer(const std::string& name, Long limit, DateStamp today, int window) {
  static int shown = 0;
  bool general = false;
  try {
    general = IsOlderByExpression(name, limit, today, window);
  } catch (const RuntimeError&) {  // the sweep leaves such a file alone
  }
  if (AgeLimit(limit, today, window).IsOlder(name) != general && ++shown <= 10) {
    ADD_FAILURE() << '"' << name << "\" limit " << limit << " today " << today.DaySerial
                  << " window " << window << ": the general route says " << general;
  }
}

std::string Eight(long long digits) { return std::to_string(100000000 + digits).substr(1); }

// Every eight-digit component where the calendar rules change: the two-digit years and the
// last years, each with every month and day from 00 to 99 (carries included), and every
// month and day of ordinary, leap and century years. The two routes must give one date.
TEST(AgeLimit, GivesTheDateExpressionDateForEveryComponentWhereTheRulesChange) {
  std::vector<int> years;
  for (int year = 0; year <= 99; ++year) years.push_back(year);
  for (const int year : {100, 1899, 1900, 1970, 2000, 2014, 2024, 2100, 2400, 9997, 9998, 9999}) {
    years.push_back(year);
  }
  const DateStamp today{41855, 0};
  const AgeLimit fast(7, today, 2029);
  int mismatches = 0;
  for (const int year : years) {
    for (int month_day = 0; month_day <= 9999; ++month_day) {
      const std::string name = "x." + Eight(year * 10000LL + month_day) + ".log";
      std::optional<Long> general;
      try {
        general = LogDateByExpression(name, today, 2029);
      } catch (const RuntimeError&) {  // the sweep leaves such a file alone
      }
      if (fast.LogDate(name) != general && ++mismatches <= 10) {
        ADD_FAILURE() << name << ": the general route says " << general.value_or(0);
      }
    }
  }
}

TEST(AgeLimit, GivesTheDateExpressionAnswerOnCarryRangeAndNumberEdges) {
  const char* const components[] = {
      "00000000", "00000001", "00000100", "00991231",  "00291231",  "00300101", "01000101",
      "01000100", "01010000", "18991230", "18991231",  "20000229",  "19000229", "20141399",
      "99991231", "99991232", "99999999", "2014080x",  "+2014080",  " 2014080", "2014 080",
      "1e+07000", "&H123456", "2014T804", "20140804 ", " 20140804", "201408041"};
  for (const char* component : components)
    for (const int window : kWindows)
      for (const Long limit : kLimits)
        for (const Long today : {41855, -657434, 2958465, 1})
          ExpectSameAnswer(std::string("x.") + component + ".log", limit, {today, 0}, window);
  // The date is the component before the extension, whatever stands around it.
  for (const char* stem : {"trace.", "a.b.", "my trace.", ".", "x", "x ", "d/x.", "d\\x."})
    for (const char* extension : {".log", ".LOG", ".", "", ".lo/g", ".l\\og"})
      ExpectSameAnswer(stem + std::string("20140804") + extension, 7, {41863, 0}, 2029);
}

}  // namespace
}  // namespace tarnwell
