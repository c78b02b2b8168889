#include "general/log_age.h"

#include <algorithm>
#include <cstdint>

#include "base/runtime_error.h"
#include "general/calendar.h"
#include "general/date_expression.h"
#include "general/paths.h"
#include "general/token.h"
#include "platform/two_digit_year.h"

namespace tarnwell {

namespace {

constexpr std::size_t kComponentLength = 8;

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

Long Digits(const char* text, int count) {
  Long value = 0;
  for (int i = 0; i < count; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

}  // namespace

std::string DateComponent(std::string_view name) {
  std::string reversed = FileNameWithoutExtension(name);
  std::reverse(reversed.begin(), reversed.end());
  Long start = 1;
  Long found_at = 0;
  std::string component = ExtractToken(reversed, start, ".", found_at, true, true);
  std::reverse(component.begin(), component.end());
  return component;
}

std::optional<Long> LogDateByExpression(std::string_view name, DateStamp today,
                                        int two_digit_year_max) {
  const std::string component = DateComponent(name);
  if (component.size() != kComponentLength || !(ReadNumber(component) > 0)) return std::nullopt;
  const std::string date_text =
      component.substr(0, 4) + "-" + component.substr(4, 2) + "-" + component.substr(6, 2);
  const DateStamp stamp = EvaluateDateExpressionFrom(date_text, today, two_digit_year_max);
  // A text that is no calendar date leaves the stamp at today: the file is of today's age,
  // yet it carries no date of its own.
  const bool is_date = std::all_of(component.begin(), component.end(), IsAsciiDigit);
  if (!is_date || stamp.DaySerial <= 0) return std::nullopt;
  return stamp.DaySerial;
}

bool IsOlderByExpression(std::string_view name, Long limit, DateStamp today,
                         int two_digit_year_max) {
  const std::optional<Long> date = LogDateByExpression(name, today, two_digit_year_max);
  // 64-bit, as a limit near the Long range and a far-future date must not wrap.
  return date && std::int64_t{today.DaySerial} - std::int64_t{*date} > limit;
}

AgeLimit::AgeLimit(Long limit, DateStamp today, int two_digit_year_max)
    : limit_(limit), today_(today), two_digit_year_max_(two_digit_year_max) {}

AgeLimit AgeLimit::FromClock(Long limit) {
  return AgeLimit(limit, CurrentStamp(false), platform::TwoDigitYearMax());
}

std::optional<Long> AgeLimit::LogDate(std::string_view name) const {
  // The direct reading applies only where the general route would see exactly these eight
  // digits: between the extension's dot and the dot (or start) before them, with no path
  // separator after them that would move the file name's start.
  std::size_t extension = name.size();
  while (extension > 0 && name[extension - 1] != '.' && name[extension - 1] != '/' &&
         name[extension - 1] != '\\') {
    --extension;
  }
  --extension;  // npos when the name holds none of them
  const bool direct =
      extension != std::string_view::npos && name[extension] == '.' &&
      extension >= kComponentLength &&
      (extension == kComponentLength || name[extension - kComponentLength - 1] == '.') &&
      std::all_of(name.begin() + (extension - kComponentLength), name.begin() + extension,
                  IsAsciiDigit);
  if (!direct) {
    try {
      return LogDateByExpression(name, today_, two_digit_year_max_);
    } catch (const RuntimeError&) {
      return std::nullopt;  // a name that is no representable date leaves its file alone
    }
  }
  const char* digits = name.data() + (extension - kComponentLength);
  const Long year = Digits(digits, 4);
  const Long month = Digits(digits + 4, 2);
  const Long day = Digits(digits + 6, 2);
  if (year == 0 && month == 0 && day == 0) return std::nullopt;  // reads as the number 0
  Long serial = 0;
  if (!TryDaySerialOfDate(PlaceTwoDigitYear(year, two_digit_year_max_), month, day, &serial) ||
      serial <= 0) {
    return std::nullopt;
  }
  return serial;
}

bool AgeLimit::IsOlder(std::string_view name) const {
  const std::optional<Long> date = LogDate(name);
  return date && IsOlderDate(*date);
}

bool AgeLimit::IsOlderDate(Long date) const {
  // 64-bit, as a limit near the Long range and a far-future date must not wrap.
  return std::int64_t{today_.DaySerial} - std::int64_t{date} > limit_;
}

}  // namespace tarnwell
