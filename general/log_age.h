// The date in a debug log's name, and whether that date lies far enough back to delete it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "general/date_stamp.h"

namespace tarnwell {

// The last dot-separated part of `name` once its extension is gone ("20140804" for
// "a.b.20140804.log"), with surrounding spaces trimmed.
std::string DateComponent(std::string_view name);

// The day serial of the date in the file `name`, by the general route: a component of
// eight characters that reads leniently as a number above 0 becomes the date text
// "YYYY-MM-DD", evaluated as a date expression from `today` with the two-digit-year window
// ending with `two_digit_year_max`. nullopt when the component does not qualify, when the
// text is no calendar date (the expression then keeps today), or for a day serial of 0 or
// less. Raises what the evaluation raises for a date it cannot represent.
std::optional<Long> LogDateByExpression(std::string_view name, DateStamp today,
                                        int two_digit_year_max);

// Whether the file `name` is dated more than `limit` days before the day of `today`, by the
// general route (LogDateByExpression). Raises what it raises.
bool IsOlderByExpression(std::string_view name, Long limit, DateStamp today,
                         int two_digit_year_max);

// The date and age tests a sweep applies to each name: the same answers as the general
// route for a fixed today, the day limit and the window, except that a name whose date
// cannot be represented simply has none (they never raise). A component of eight ASCII
// digits, as nearly every log name has, is read directly; any other takes the general route.
class AgeLimit {
 public:
  AgeLimit(Long limit, DateStamp today, int two_digit_year_max);

  // Against today's local date and the platform's two-digit-year window.
  static AgeLimit FromClock(Long limit);

  // LogDateByExpression's answer, nullopt also where it would raise.
  std::optional<Long> LogDate(std::string_view name) const;
  // Whether `name` has a date more than the limit's days before today.
  bool IsOlder(std::string_view name) const;
  // Whether the day serial `date` lies more than the limit's days before today.
  bool IsOlderDate(Long date) const;

 private:
  Long limit_;
  DateStamp today_;
  int two_digit_year_max_;
};

}  // namespace tarnwell
