#include "general/date_stamp.h"

#include <cmath>

#include "base/runtime_error.h"
#include "general/calendar.h"

namespace tarnwell {
namespace {

constexpr Long kSecondsPerDay = 86400;
constexpr Long kSecondsPerHour = 3600;
constexpr Long kHundredthsPerSecond = 100;
constexpr Long kHundredthsPerDay = 8640000;

// x moved by one day's seconds, stored as a single. Where a day is below the single's step
// (|x| from about 2^41 on), the move changes nothing and the carry loop would only end
// when the day count overflows: that overflow is raised at once.
float StepByDay(float x, Long day_seconds) {
  const float moved = ToSingle(double{x} + day_seconds);
  if (moved == x) RaiseError(kOverflow);
  return moved;
}

}  // namespace

DateStamp StampFromLocalTime(const platform::LocalTime& time, bool TruncateToHour) {
  DateStamp stamp;
  stamp.DaySerial = DaySerialOfDate(time.Year, time.Month, time.Day);
  const double since_midnight =
      time.Hour * 3600.0 + time.Minute * 60.0 + time.Second + time.Nanosecond / 1'000'000'000.0;
  const float t = ToSingle(since_midnight);
  stamp.Seconds = t;
  if (TruncateToHour) {
    const Long into_hour = ToLong(t) % kSecondsPerHour;
    stamp.Seconds = ToSingle(RoundHalfEven(double{t} - into_hour));
  }
  return stamp;
}

DateStamp CurrentStamp(bool TruncateToHour) {
  return StampFromLocalTime(platform::ReadLocalClock(), TruncateToHour);
}

DateStamp MakeStamp(Long day_serial, float seconds) { return DateStamp{day_serial, seconds}; }

DateStamp AddSecondsToStamp(float seconds, DateStamp stamp) {
  // Whole days by floor, the rest by rounding to hundredths: each split on its own.
  const Long whole_days = ToLong(std::floor(double{seconds})) / kSecondsPerDay;
  const Long hundredths = ToLong(double{seconds} * kHundredthsPerSecond) % kHundredthsPerDay;
  const double rest = hundredths / double{kHundredthsPerSecond};

  Long day = AddLong(stamp.DaySerial, whole_days);
  float x = ToSingle(double{stamp.Seconds} + rest);
  while (x < 0) {
    x = StepByDay(x, kSecondsPerDay);
    day = AddLong(day, -1);
  }
  while (x >= kSecondsPerDay) {
    x = StepByDay(x, -kSecondsPerDay);
    day = AddLong(day, 1);
  }
  return DateStamp{day, x};
}

}  // namespace tarnwell
