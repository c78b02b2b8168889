#include "platform/local_clock.h"

#include <time.h>

namespace tarnwell::platform {

namespace {

// The fields of `local`, read at `now`.
LocalTime FromFields(const timespec& now, const tm& local) {
  LocalTime time;
  time.Year = local.tm_year + 1900;
  time.Month = local.tm_mon + 1;
  time.Day = local.tm_mday;
  time.Hour = local.tm_hour;
  time.Minute = local.tm_min;
  // A leap second (tm_sec 60) is folded into the last ordinary second of the day.
  time.Second = local.tm_sec < 60 ? local.tm_sec : 59;
  time.Nanosecond = static_cast<int>(now.tv_nsec);
  return time;
}

}  // namespace

LocalTime ReadLocalClock() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return FromFields(now, local);
}

LocalTime ReadUniversalClock() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm utc{};
  gmtime_r(&now.tv_sec, &utc);
  return FromFields(now, utc);
}

}  // namespace tarnwell::platform
