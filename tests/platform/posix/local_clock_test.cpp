#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <string>

#include "general/calendar.h"
#include "general/date_stamp.h"

namespace tarnwell {
namespace {

// The C library's view of now: its day serial and whole seconds since midnight.
DateStamp SystemNow() {
  const time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  const Long day = DaySerialOfDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  return {day, static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec)};
}

// In zones 14 hours east and 12 west of UTC at least one date differs from UTC's at any
// moment, so a clock that reads UTC instead of local time fails here.
TEST(CurrentStamp, AgreesWithTheSystemLocalDateAndTime) {
  const bool had_zone = getenv("TZ") != nullptr;
  const std::string previous = had_zone ? getenv("TZ") : "";
  for (const char* zone : {"UTC0", "XST-14", "YST+12", "ZST-5:30"}) {
    SCOPED_TRACE(zone);
    setenv("TZ", zone, 1);
    tzset();
    const DateStamp before = SystemNow();
    const DateStamp stamp = CurrentStamp(false);
    const DateStamp after = SystemNow();
    EXPECT_TRUE(stamp.DaySerial == before.DaySerial || stamp.DaySerial == after.DaySerial);
    if (before.DaySerial == after.DaySerial) {  // no midnight in between
      EXPECT_GE(stamp.Seconds, before.Seconds);
      EXPECT_LT(stamp.Seconds, after.Seconds + 1);
    }
  }
  had_zone ? setenv("TZ", previous.c_str(), 1) : unsetenv("TZ");
  tzset();
}

}  // namespace
}  // namespace tarnwell
