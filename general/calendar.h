// Day serials of calendar dates in the proleptic Gregorian calendar.
#pragma once

#include "general/numbers.h"

namespace tarnwell {

// The first and last days a day serial may name: 1 January 100 and 31 December 9999.
inline constexpr Long kFirstDaySerial = -657434;
inline constexpr Long kLastDaySerial = 2958465;

// The day serial (day 0 is 30 December 1899) of `day` of `month` of `year`, where the
// month and the day may lie outside their ranges and carry: month 0 is December of the
// year before, month 13 January of the year after; day 0 is the last day of the month
// before, and a day beyond the month's length runs on into the following months.
// Raises error 5 (invalid procedure call) when the date, after the carries, lies outside
// 1 January 100 .. 31 December 9999.
Long DaySerialOfDate(Long year, Long month, Long day);

// The same without raising: false, and `*serial` untouched, outside that range.
bool TryDaySerialOfDate(Long year, Long month, Long day, Long* serial);

// Whether `day` of `month` of `year` is a day of the calendar as written, nothing carried:
// month 1 to 12, the day within its month, from 1 January 100 to 31 December 9999.
inline bool IsCalendarDay(Long year, Long month, Long day) {
  constexpr Long kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const bool leap = month == 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  return day <= kDays[month - 1] + (leap ? 1 : 0);
}

// DaySerialOfDate's day serial for a day that IsCalendarDay accepts, without the carries
// and range checks, for the paths that judge every name of a folder. The year counts from
// 1 March, so a leap day is its year's last.
inline Long DaySerialOfCalendarDay(Long year, Long month, Long day) {
  const Long march_year = month <= 2 ? year - 1 : year;
  const Long day_of_march_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  // 693,899: the count below for 30 December 1899, day 0.
  return march_year * 365 + march_year / 4 - march_year / 100 + march_year / 400 +
         day_of_march_year - 693899;
}

// `year` from 0 to 99 as the year ending in those digits among the hundred years ending
// with `window_max`; any other year unchanged.
Long PlaceTwoDigitYear(Long year, int window_max);

}  // namespace tarnwell
