#include "platform/two_digit_year.h"

#include <windows.h>

namespace tarnwell::platform {
namespace {

constexpr int kDefaultTwoDigitYearMax = 2029;

int ReadUserSetting() {
  DWORD value = 0;
  const int written =
      GetCalendarInfoW(LOCALE_USER_DEFAULT, CAL_GREGORIAN, CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER,
                       nullptr, 0, &value);
  // Windows accepts settings from 99 to 9999 only.
  if (written == 0 || value < 99 || value > 9999) return kDefaultTwoDigitYearMax;
  return static_cast<int>(value);
}

}  // namespace

// Read once per process: a run lasts seconds, and the sweep evaluates a date per file.
int TwoDigitYearMax() {
  static const int setting = ReadUserSetting();
  return setting;
}

}  // namespace tarnwell::platform
