#include "general/date_expression.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/ascii.h"
#include "base/runtime_error.h"
#include "general/calendar.h"
#include "general/token.h"
#include "platform/two_digit_year.h"

namespace tarnwell {
namespace {

constexpr char kSeparator = 'T';
constexpr std::size_t kMaxTokens = 32767;  // the token counter is a 16-bit Integer
constexpr std::string_view kDayOffset = "nowday";
constexpr std::string_view kHourOffset = "nowhour";

// Only ASCII letters change case; no keyword or pattern involves any other character.
std::string Normalise(std::string_view piece) { return FoldCase(TrimBlanks(piece)); }

// Whether `token` is `pattern` with each '#' standing for exactly one digit.
bool Matches(std::string_view token, std::string_view pattern) {
  if (token.size() != pattern.size()) return false;
  for (std::size_t i = 0; i < token.size(); ++i) {
    const bool fits =
        pattern[i] == '#' ? (token[i] >= '0' && token[i] <= '9') : token[i] == pattern[i];
    if (!fits) return false;
  }
  return true;
}

// The digits of token[first .. first + count), known to be digits.
Long Digits(std::string_view token, std::size_t first, std::size_t count) {
  Long value = 0;
  for (std::size_t i = first; i < first + count; ++i) value = value * 10 + (token[i] - '0');
  return value;
}

DateStamp MoveDays(DateStamp stamp, double days) {
  stamp.DaySerial = ToLong(stamp.DaySerial + days);
  return stamp;
}

DateStamp MoveHours(DateStamp stamp, double hours) {
  const double hour_start = std::floor(stamp.Seconds / 3600.0) * 3600.0;
  const float seconds = ToSingle(hour_start + hours * 3600.0);
  return AddSecondsToStamp(seconds, MakeStamp(stamp.DaySerial, 0));
}

DateStamp SetDate(DateStamp stamp, std::string_view token, int two_digit_year_max) {
  const Long year = PlaceTwoDigitYear(Digits(token, 0, 4), two_digit_year_max);
  stamp.DaySerial = DaySerialOfDate(year, Digits(token, 5, 2), Digits(token, 8, 2));
  return stamp;
}

DateStamp SetTime(DateStamp stamp, std::string_view token) {
  const Long seconds_field = token.size() > 5 ? Digits(token, 6, 2) : 0;
  stamp.Seconds =
      static_cast<float>(3600 * Digits(token, 0, 2) + 60 * Digits(token, 3, 2) + seconds_field);
  return stamp;
}

DateStamp ApplyToken(DateStamp stamp, std::string_view token, int two_digit_year_max) {
  if (token.starts_with(kDayOffset)) {
    return MoveDays(stamp, ReadNumber(token.substr(kDayOffset.size())));
  }
  if (token.starts_with(kHourOffset)) {
    return MoveHours(stamp, ReadNumber(token.substr(kHourOffset.size())));
  }
  if (Matches(token, "####-##-##")) return SetDate(stamp, token, two_digit_year_max);
  if (Matches(token, "##:##") || Matches(token, "##:##:##")) return SetTime(stamp, token);
  return stamp;
}

}  // namespace

DateStamp EvaluateDateExpressionFrom(std::string_view expression, DateStamp start,
                                     int two_digit_year_max) {
  if (expression.empty()) return start;
  const auto separators = std::count(expression.begin(), expression.end(), kSeparator);
  if (static_cast<std::size_t>(separators) + 1 > kMaxTokens) RaiseError(kOverflow);

  DateStamp stamp = start;
  std::size_t begin = 0;
  while (true) {
    const std::size_t end = expression.find(kSeparator, begin);
    const std::string_view piece = expression.substr(begin, end - begin);
    stamp = ApplyToken(stamp, Normalise(piece), two_digit_year_max);
    if (end == std::string_view::npos) break;
    begin = end + 1;
  }
  return stamp;
}

DateStamp EvaluateDateExpression(std::string Expression) {
  return EvaluateDateExpressionFrom(Expression, CurrentStamp(false), platform::TwoDigitYearMax());
}

}  // namespace tarnwell
