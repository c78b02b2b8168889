#include <gtest/gtest.h>

#include <ctime>

#include "general/calendar.h"
#include "general/date_stamp.h"

namespace tarnwell {
namespace {

// The C runtime's view of now, which reaches the time zone by its own path.
DateStamp RuntimeNow() {
  const std::time_t now = std::time(nullptr);
  const std::tm local = *std::localtime(&now);
  const Long day = DaySerialOfDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  return {day, static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec)};
}

TEST(CurrentStamp, AgreesWithTheSystemLocalDateAndTime) {
  const DateStamp before = RuntimeNow();
  const DateStamp stamp = CurrentStamp(false);
  const DateStamp after = RuntimeNow();
  const bool same_day_as_before = stamp.DaySerial == before.DaySerial;
  EXPECT_TRUE(same_day_as_before || stamp.DaySerial == after.DaySerial) << stamp.DaySerial;
  if (same_day_as_before && before.DaySerial == after.DaySerial) {
    EXPECT_GE(stamp.Seconds, before.Seconds);
    EXPECT_LT(stamp.Seconds, after.Seconds + 1);
  }
}

}  // namespace
}  // namespace tarnwell
