// What differs by target, on Windows: drive roots, the local clock and the user's
// two-digit-year window.
#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "general/calendar.h"
#include "general/date_expression.h"
#include "general/paths.h"
#include "platform/two_digit_year.h"

namespace tarnwell {
namespace {

// The default sweep relies on "c:" counting as a folder whenever drive C: exists.
TEST(FolderExistsOnWindows, DriveRootsAreFolders) {
  for (const char* path : {"c:", "C:", "c:\\", "C:/", "C:\\windows"}) {
    EXPECT_TRUE(FolderExists(path)) << path;
  }
  EXPECT_FALSE(FolderExists("C:\\windows\\win.ini"));
  EXPECT_FALSE(FolderExists("C:\\no such folder here"));
}

// The C runtime reaches the time zone by its own path.
TEST(CurrentStamp, AgreesWithTheCRuntimesLocalDateAndTime) {
  const std::time_t now = std::time(nullptr);
  const DateStamp stamp = CurrentStamp(false);
  const std::tm local = *std::localtime(&now);
  const Long day = DaySerialOfDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  const float second = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  // Read within the two seconds after `now`, unless midnight came in between.
  EXPECT_TRUE((stamp.DaySerial == day && stamp.Seconds >= second && stamp.Seconds < second + 2) ||
              (stamp.DaySerial == day + 1 && stamp.Seconds < 2))
      << stamp.DaySerial << " " << stamp.Seconds;
}

// Two-digit years land in the hundred years that end with the user's setting (Wine and
// current Windows report 2049, older Windows 2029).
TEST(TwoDigitYearWindow, IsTheUsersSetting) {
  DWORD last = 0;
  GetCalendarInfoW(LOCALE_USER_DEFAULT, CAL_GREGORIAN, CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER,
                   nullptr, 0, &last);
  ASSERT_EQ(platform::TwoDigitYearMax(), static_cast<int>(last));
  const std::string first_two_digits = std::to_string(100 + (last + 1) % 100).substr(1);
  EXPECT_EQ(EvaluateDateExpression("00" + first_two_digits + "-01-01").DaySerial,
            DaySerialOfDate(last - 99, 1, 1));
}

}  // namespace
}  // namespace tarnwell
