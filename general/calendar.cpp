#include "general/calendar.h"

#include <cstdint>

#include "base/runtime_error.h"

namespace tarnwell {
namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t quotient = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? quotient - 1 : quotient;
}

// Days from 1 January 1970 to the first of `month` (1..12) of `year`. The count works on
// 400-year cycles of 146,097 days counted from 1 March, so the leap day is each cycle
// year's last day; 64-bit arithmetic keeps any carried year of 32-bit inputs exact.
std::int64_t DaysToFirstOfMonth(std::int64_t year, std::int64_t month) {
  const std::int64_t march_year = month <= 2 ? year - 1 : year;
  const std::int64_t era = FloorDiv(march_year, 400);
  const std::int64_t year_of_era = march_year - era * 400;
  const std::int64_t month_from_march = month > 2 ? month - 3 : month + 9;
  const std::int64_t day_of_year = (153 * month_from_march + 2) / 5;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

// 30 December 1899, counted from 1 January 1970.
constexpr std::int64_t kDaySerialZero = -25569;

}  // namespace

bool TryDaySerialOfDate(Long year, Long month, Long day, Long* serial) {
  const std::int64_t months_from_january = std::int64_t{month} - 1;
  const std::int64_t carried_year = year + FloorDiv(months_from_january, 12);
  const std::int64_t carried_month =
      months_from_january - FloorDiv(months_from_january, 12) * 12 + 1;
  const std::int64_t serial64 =
      DaysToFirstOfMonth(carried_year, carried_month) + (std::int64_t{day} - 1) - kDaySerialZero;
  if (serial64 < kFirstDaySerial || serial64 > kLastDaySerial) return false;
  *serial = static_cast<Long>(serial64);
  return true;
}

Long DaySerialOfDate(Long year, Long month, Long day) {
  Long serial = 0;
  if (!TryDaySerialOfDate(year, month, day, &serial)) RaiseError(kInvalidProcedureCall);
  return serial;
}

Long PlaceTwoDigitYear(Long year, int window_max) {
  if (year > 99) return year;
  const Long placed = window_max / 100 * 100 + year;
  return placed > window_max ? placed - 100 : placed;
}

}  // namespace tarnwell
