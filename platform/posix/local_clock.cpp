#include "platform/local_clock.h"

#include <time.h>

namespace tarnwell::platform {

namespace {

// The clock now, broken into fields by `convert` (localtime_r or gmtime_r).
LocalTime ReadClock(tm* (*convert)(const time_t*, tm*)) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm fields{};
  convert(&now.tv_sec, &fields);
  LocalTime time;
  time.Year = fields.tm_year + 1900;
  time.Month = fields.tm_mon + 1;
  time.Day = fields.tm_mday;
  time.Hour = fields.tm_hour;
  time.Minute = fields.tm_min;
  // A leap second (tm_sec 60) is folded into the last ordinary second of the day.
  time.Second = fields.tm_sec < 60 ? fields.tm_sec : 59;
  time.Nanosecond = static_cast<int>(now.tv_nsec);
  return time;
}

}  // namespace

LocalTime ReadLocalClock() { return ReadClock(localtime_r); }

LocalTime ReadUniversalClock() { return ReadClock(gmtime_r); }

}  // namespace tarnwell::platform
