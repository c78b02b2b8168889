#include "general/date_stamp.h"

#include <gtest/gtest.h>

#include "general/runtime_error.h"

namespace tarnwell {
namespace {

constexpr Long kDay = 41855;

void ExpectStamp(DateStamp actual, DateStamp expected) {
  EXPECT_EQ(actual.DaySerial, expected.DaySerial);
  EXPECT_EQ(actual.Seconds, expected.Seconds);
}

TEST(AddSecondsToStamp, MovesTheStampWithCarriesIntoTheDay) {
  const struct {
    float seconds;
    DateStamp given, expected;
  } cases[] = {
      {0, {kDay, 43200}, {kDay, 43200}},
      {-3600, {kDay, 0}, {kDay - 1, 82800}},
      {90000.5f, {kDay, 0}, {kDay + 1, 3600.5f}},
      {-90000, {kDay, 0}, {kDay - 2, 82800}},  // floor gives -1 day, the rest borrows one more
      {86400, {kDay, 43200}, {kDay + 1, 43200}},
      {0, {kDay, 90000}, {kDay + 1, 3600}},  // a non-canonical stamp is made canonical
      {0.125f, {kDay, 0}, {kDay, 0.12f}},    // hundredths round half to even
      {0.375f, {kDay, 0}, {kDay, 0.38f}},
      {-0.01f, {kDay, 0.009f}, {kDay, 0}},  // -0.001 + 86,400 is 86,400 as a single
      {21474836, {0, 0}, {248, 47636}},     // the largest whole count that fits
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.seconds << " on " << c.given.Seconds);
    ExpectStamp(AddSecondsToStamp(c.seconds, c.given), c.expected);
  }
}

TEST(AddSecondsToStamp, RaisesOverflowBeyondTheLongRange) {
  const struct {
    float seconds;
    DateStamp given;
  } cases[] = {
      {21474838, {kDay, 0}},          // the hundredths leave 32 bits
      {1, {2147483647, 86399.5f}},    // the day cannot advance
      {-1, {-2147483647 - 1, 0.5f}},  // nor go back
      {0, {kDay, 3e38f}},             // a day is below the single's step
  };
  for (const auto& c : cases) {
    try {
      AddSecondsToStamp(c.seconds, c.given);
      ADD_FAILURE() << c.seconds << " on " << c.given.Seconds << " succeeded";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.Number(), kOverflow);
    }
  }
}

TEST(StampFromLocalTime, TakesTheDaySerialAndTheSecondsSinceMidnight) {
  const struct {
    int hour, minute, second, nanosecond;
    bool truncate;
    float expected;
  } cases[] = {
      {8, 0, 0, 250'000'000, false, 28800.25f},
      {14, 35, 12, 300'000'000, true, 50400},
      {14, 59, 59, 700'000'000, true, 54000},  // rounds to 15:00:00 first
      {13, 59, 59, 400'000'000, true, 46800},
      {13, 59, 59, 499'000'000, true, 50400},   // 50399.499 is 50399.5 as a single: even 50400
      {23, 59, 59, 500'000'000, true, 86400},   // no carry into the day
      {23, 59, 59, 999'000'000, false, 86400},  // nor here, where the single rounds up
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.hour << ":" << c.minute << ":" << c.second << "."
                                    << c.nanosecond << (c.truncate ? " truncated" : ""));
    const platform::LocalTime time{2014, 8, 4, c.hour, c.minute, c.second, c.nanosecond};
    ExpectStamp(StampFromLocalTime(time, c.truncate), {41855, c.expected});
  }
}

TEST(MakeStamp, StoresWhatItIsGiven) { ExpectStamp(MakeStamp(45000, 100000), {45000, 100000}); }

}  // namespace
}  // namespace tarnwell
