// The sweep's age test reads eight-digit dates directly; here it must give the general
// date-expression route's answer on a large seeded sample and on the carry and range edges.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "base/runtime_error.h"
#include "general/log_age.h"

namespace tarnwell {
namespace {

constexpr int kWindows[] = {2029, 2049, 99, 9999};
constexpr Long kLimits[] = {1, 7, 30, 36500, 0, -1, 2147483647, -2147483647 - 1};

// The general route as the sweep applies it: a date that raises leaves the file alone.
bool ByExpression(const std::string& name, Long limit, DateStamp today, int window) {
  try {
    return IsOlderByExpression(name, limit, today, window);
  } catch (const RuntimeError&) {
    return false;
  }
}

class SameAnswer {
 public:
  void Check(const std::string& name, Long limit, DateStamp today, int window) {
    const bool direct = AgeLimit(limit, today, window).IsOlder(name);
    if (direct != ByExpression(name, limit, today, window) && ++mismatches_ <= 10) {
      ADD_FAILURE() << "\"" << name << "\" limit " << limit << " today " << today.DaySerial
                    << " window " << window << ": direct reading says " << direct;
    }
  }

 private:
  int mismatches_ = 0;
};

std::string Eight(long long digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%08lld", digits);
  return text;
}

TEST(AgeLimit, GivesTheDateExpressionAnswerOnASeededSample) {
  std::mt19937 random(20140804);
  auto pick = [&](long long low, long long high) {
    return std::uniform_int_distribution<long long>(low, high)(random);
  };
  const char* const stems[] = {"trace", "a.b", "my trace", "", "x.", "d/x", "d\\x", "x "};
  const char* const separators[] = {".", ".", "", " ", "9"};
  const char* const extensions[] = {".log", ".LOG", ".", "", ".lo/g", ".l\\og"};
  SameAnswer answers;
  for (int i = 0; i < 200000; ++i) {
    // Half uniform over all eight digits, half years with months and days 00..99 that carry.
    const std::string digits = i % 2
                                   ? Eight(pick(0, 99999999))
                                   : Eight(pick(0, 9999) * 10000 + pick(0, 99) * 100 + pick(0, 99));
    const std::string name =
        std::string(stems[pick(0, 7)]) + separators[pick(0, 4)] + digits + extensions[pick(0, 5)];
    const DateStamp today{static_cast<Long>(pick(-700000, 3000000)), float(pick(0, 86399))};
    answers.Check(name, kLimits[pick(0, 7)], today, kWindows[pick(0, 3)]);
  }
}

// Real dates against a today chosen so that the age lands on the limit and either side of it.
TEST(AgeLimit, GivesTheDateExpressionAnswerAtTheLimit) {
  using namespace std::chrono;
  constexpr Long kSerialOf1970 = 25569;
  std::mt19937 random(41855);
  std::uniform_int_distribution<int> day_of(
      sys_days{year{100} / 1 / 1}.time_since_epoch().count(),
      sys_days{year{9999} / 12 / 31}.time_since_epoch().count());
  SameAnswer answers;
  for (int i = 0; i < 20000; ++i) {
    const year_month_day date{sys_days{days{day_of(random)}}};
    const std::string name =
        "app." +
        Eight(int(date.year()) * 10000LL + unsigned(date.month()) * 100 + unsigned(date.day())) +
        ".log";
    const Long serial = sys_days{date}.time_since_epoch().count() + kSerialOf1970;
    const Long age = std::uniform_int_distribution<Long>(-400, 40000)(random);
    for (const Long limit : {age - 1, age, age + 1})
      answers.Check(name, limit, {serial + age, 0}, 2029);
  }
}

TEST(AgeLimit, GivesTheDateExpressionAnswerOnCarryRangeAndNumberEdges) {
  const char* const components[] = {
      "00000000", "00000001",  "00000100",
      "00991231", "00291231",  "00300101",
      "01000101", "01000100",  "01010000",
      "18991229", "18991230",  "18991231",
      "20000229", "19000229",  "20141399",
      "20140231", "99991231",  "99991232",
      "99999999", "99990000",  "2014080x",
      "+2014080", "-2014080",  " 2014080",
      "2014 080", "1e+07000",  "&H123456",
      "2014T804", "20140804 ", " 20140804",
      "2014080",  "201408041", "\xEF\xBC\x92\x30\x31\x34\x30\x38\x30\x34"};
  SameAnswer answers;
  for (const char* component : components) {
    for (const int window : kWindows) {
      for (const Long limit : kLimits) {
        for (const Long today : {Long{41855}, Long{-657434}, Long{2958465}, Long{1}}) {
          answers.Check(std::string("x.") + component + ".log", limit, {today, 0}, window);
        }
      }
    }
  }
}

}  // namespace
}  // namespace tarnwell
