#include "general/calendar.h"

#include <gtest/gtest.h>

#include "general/runtime_error.h"

namespace tarnwell {
namespace {

TEST(DaySerialOfDate, KnownDaysAndCarries) {
  const struct {
    Long year, month, day, serial;
  } cases[] = {
      {1899, 12, 30, 0},     {1900, 1, 1, 2},         {1900, 3, 1, 61},        {2014, 8, 4, 41855},
      {1930, 1, 1, 10959},   {9999, 12, 31, 2958465}, {100, 1, 1, -657434},    {2000, 2, 29, 36585},
      {1600, 3, 1, -109511}, {2014, 2, 30, 41700},    {2014, 13, 1, 42005},    {2014, 0, 0, 41608},
      {2014, -11, 1, 41275}, {2014, 3, -58, 41640},   {10000, 0, 31, 2958465},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DaySerialOfDate(c.year, c.month, c.day), c.serial)
        << c.year << "-" << c.month << "-" << c.day;
  }
}

TEST(DaySerialOfDate, RaisesInvalidProcedureCallOutsideYears100To9999) {
  const Long kMin = -2147483647 - 1, kMax = 2147483647;
  const Long cases[][3] = {{9999, 12, 32},  {100, 1, 0},        {0, 1, 1},
                           {2014, kMax, 1}, {kMin, kMin, kMin}, {kMax, kMax, kMax}};
  for (const auto& c : cases) {
    try {
      DaySerialOfDate(c[0], c[1], c[2]);
      ADD_FAILURE() << c[0] << "-" << c[1] << "-" << c[2] << " succeeded";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.Number(), kInvalidProcedureCall);
    }
  }
}

// Every day from 1 January 100 to 31 December 9999, counted one at a time.
TEST(DaySerialOfDate, AgreesWithADayByDayCount) {
  static constexpr Long kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  Long expected = kFirstDaySerial;
  int mismatches = 0;
  for (Long year = 100; year <= 9999; ++year) {
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    for (Long month = 1; month <= 12; ++month) {
      const Long length = kLengths[month - 1] + (month == 2 && leap ? 1 : 0);
      for (Long day = 1; day <= length; ++day, ++expected) {
        if (DaySerialOfDate(year, month, day) != expected && ++mismatches <= 5) {
          ADD_FAILURE() << year << "-" << month << "-" << day << " is not " << expected;
        }
      }
    }
  }
  EXPECT_EQ(expected - 1, kLastDaySerial);
}

}  // namespace
}  // namespace tarnwell
