// Day serials, stamps and date expressions: the pure cores, and the clock read through them.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>

#include "base/runtime_error.h"
#include "general/calendar.h"
#include "general/date_expression.h"

namespace tarnwell {
namespace {

using Stamp = std::pair<Long, float>;  // day serial and seconds, or {error number, -1}
constexpr Stamp kInvalid{kInvalidProcedureCall, -1}, kOver{kOverflow, -1};
constexpr DateStamp k1420{45000, 51600};  // 14:20:00 on an even day

Stamp Result(auto function) {
  try {
    const DateStamp stamp = function();
    return {stamp.DaySerial, stamp.Seconds};
  } catch (const RuntimeError& error) {
    return {error.Number(), -1};
  }
}

// Every ordinary day is checked against the standard calendar below; these are the carries
// and the range 1 January 100 .. 31 December 9999, checked after carrying.
TEST(DaySerialOfDate, MonthsAndDaysCarryAndDatesOutsideYears100To9999AreInvalid) {
  const struct {
    Long year, month, day;
    Stamp expected;
  } rows[] = {
      // Months and days carry, into the years before and after too.
      {2014, 2, 30, {41700, 0}},
      {2014, 13, 1, {42005, 0}},
      {2014, 0, 0, {41608, 0}},
      {10000, 0, 31, {2958465, 0}},
      // Outside the range once carried.
      {9999, 12, 32, kInvalid},
      {100, 1, 0, kInvalid},
      {0, 1, 1, kInvalid},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Result([&] { return DateStamp{DaySerialOfDate(row.year, row.month, row.day)}; }),
              row.expected)
        << row.year << "-" << row.month << "-" << row.day;
}

// Every day from 1 January 100 to 31 December 9999, against the standard library's count.
TEST(DaySerialOfDate, AgreesWithTheStandardCalendarOnEveryDayWithTheStrictForms) {
  using namespace std::chrono;
  const sys_days zero = year{1899} / December / 30;
  for (sys_days day = year{100} / January / 1; day <= year{9999} / December / 31; day += days{1}) {
    const year_month_day date{day};
    const Long y = int(date.year()), m = unsigned(date.month()), d = unsigned(date.day());
    ASSERT_EQ(DaySerialOfDate(y, m, d), (day - zero).count());
    ASSERT_TRUE(IsCalendarDay(y, m, d));
    ASSERT_EQ(DaySerialOfCalendarDay(y, m, d), (day - zero).count());
  }
}

TEST(EvaluateDateExpression, TokensMoveOrSetTheStampInOrder) {
  constexpr Stamp kSame{45000, 51600};
  const struct {
    std::string expression;
    Stamp expected;
    DateStamp start = k1420;
    int window = 2029;
  } cases[] = {
      // A date keeps the time of day; a time keeps the day, 24:00 and above too.
      {"2014-08-04", {41855, 51600}},
      {"2014-08-04T12:00:30", {41855, 43230}},
      {"99:99:99", {45000, 362439}},
      // A lower-case t is no separator; a keyword comes before the patterns.
      {"nowday-1t06:00", {44999, 51600}},
      {"06:00Tnowhour+1", {45000, 25200}},
      // Halves of days go to the even day; nowhour counts from the start of the hour and
      // carries into the next day.
      {" NowDay - 1 ", {44999, 51600}},
      {"nowday+0.5", {45002, 51600}, DateStamp{45001, 51600}},
      {"nowday+0.5", kSame},
      {"nowhour", {45000, 50400}},
      {"nowhour+10", {45001, 21600}, DateStamp{45000, 72600}},
      // Two-digit years fall in the window ending at the given year; three digits stand as given.
      {"0030-01-01", {10959, 51600}},
      {"0049-12-31", {54788, 51600}, k1420, 2049},
      {"0100-01-01", {-657434, 51600}},
      {"9999-12-32", kInvalid},
      // Empty or malformed tokens and a tab change nothing; 32,768 tokens overflow.
      {"", kSame},
      {"\t2014-08-04", kSame},
      {"2014-8-4", kSame},
      {std::string(32766, 'T'), kSame},
      {std::string(32767, 'T'), kOver},
      // Days beyond the Long range or the single range; hours beyond the single range.
      {"nowday+99999999999", kOver},
      {"nowday+3e38", kOver},
      {"nowhour+1e40", kOver},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Result([&] { return EvaluateDateExpressionFrom(c.expression, c.start, c.window); }),
              c.expected)
        << '"' << c.expression.substr(0, 20) << "\" from " << c.start.DaySerial;
}

}  // namespace
}  // namespace tarnwell
