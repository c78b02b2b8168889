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

// `year` from 0 to 99 as the year ending in those digits among the hundred years ending
// with `window_max`; any other year unchanged.
Long PlaceTwoDigitYear(Long year, int window_max);

}  // namespace tarnwell
