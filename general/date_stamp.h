// A moment as a whole calendar day and the seconds since that day's midnight.
#pragma once

#include "general/numbers.h"

namespace tarnwell {

// Day 0 is 30 December 1899; earlier days are negative.
struct DateStamp {
  Long DaySerial = 0;
  float Seconds = 0;  // from 0 to 86,400 in canonical form
};

// The current local date and time (the date is read first, then the seconds).
DateStamp CurrentStamp(bool TruncateToHour);

// The stamp of exactly these two values; nothing is validated or normalised.
DateStamp MakeStamp(Long day_serial, float seconds);

// `stamp` moved by `seconds` (negative: backwards), in canonical form. Overflow (6)
// when the seconds or the day leave the 32-bit range.
DateStamp AddSecondsToStamp(float seconds, DateStamp stamp);

}  // namespace tarnwell
