#include "platform/two_digit_year.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "general/calendar.h"
#include "general/date_expression.h"

namespace tarnwell {
namespace {

// Two-digit years land in the hundred years that end with the user's setting (Wine and
// current Windows report 2049, older Windows 2029).
TEST(TwoDigitYearWindow, IsTheUsersSetting) {
  DWORD last = 0;
  ASSERT_NE(GetCalendarInfoW(LOCALE_USER_DEFAULT, CAL_GREGORIAN,
                             CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER, nullptr, 0, &last),
            0);
  ASSERT_EQ(platform::TwoDigitYearMax(), static_cast<int>(last));
  if (last < 199) GTEST_SKIP() << "the window ends before the calendar begins: " << last;

  const auto two_digits = [](int year) { return std::to_string(100 + year % 100).substr(1); };
  EXPECT_EQ(EvaluateDateExpression("00" + two_digits(last) + "-12-31").DaySerial,
            DaySerialOfDate(last, 12, 31));
  EXPECT_EQ(EvaluateDateExpression("00" + two_digits(last + 1) + "-01-01").DaySerial,
            DaySerialOfDate(last - 99, 1, 1));
}

}  // namespace
}  // namespace tarnwell
