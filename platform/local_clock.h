// The local wall clock: today's date and the time of day, as the user's time zone has them.
#pragma once

namespace tarnwell::platform {

struct LocalTime {
  int Year = 1900;
  int Month = 1;  // 1..12
  int Day = 1;    // 1..31
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Nanosecond = 0;  // 0..999,999,999; Windows fills it to 100 ns or to the millisecond
};

// The local date and time of one instant. Date and time come from a single reading, so a
// call made across midnight cannot pair one day's date with the next day's time.
LocalTime ReadLocalClock();

// The same for Coordinated Universal Time, by which many writers (IIS among them) name their
// logs.
LocalTime ReadUniversalClock();

}  // namespace tarnwell::platform
