// A moment as a whole calendar day and the seconds since that day's midnight.
#pragma once

#include "general/numbers.h"
#include "platform/local_clock.h"

namespace tarnwell {

// Day 0 is 30 December 1899; earlier days are negative.
struct DateStamp {
  Long DaySerial = 0;
  float Seconds = 0;  // from 0 to 86,400 in canonical form
};

// The current local date and time, from one reading of the local clock.
DateStamp CurrentStamp(bool TruncateToHour);

// The stamp of a local date and time: its day serial and the seconds since midnight with
// their fraction, held as a single. `TruncateToHour` keeps only the start of the hour in
// which the time, rounded to the whole second, falls: from 23:59:59.5 on that is 86,400 on
// the same day. Error 5 for a date outside 1 January 100 .. 31 December 9999.
DateStamp StampFromLocalTime(const platform::LocalTime& time, bool TruncateToHour);

// The stamp of exactly these two values; nothing is validated or normalised.
DateStamp MakeStamp(Long day_serial, float seconds);

// `stamp` moved by `seconds` (negative: backwards), in canonical form. Overflow (6)
// when the seconds or the day leave the 32-bit range.
DateStamp AddSecondsToStamp(float seconds, DateStamp stamp);

}  // namespace tarnwell
