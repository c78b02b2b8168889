// The date in a debug log's name, and whether that date lies far enough back to delete it.
#pragma once

#include <string>
#include <string_view>

#include "general/date_stamp.h"

namespace tarnwell {

// The last dot-separated part of `name` once its extension is gone ("20140804" for
// "a.b.20140804.log"), with surrounding spaces trimmed.
std::string DateComponent(std::string_view name);

// Whether the file `name` is dated more than `limit` days before the day of `today`, by the
// general route: a component of eight characters that reads leniently as a number above 0
// becomes the date text "YYYY-MM-DD", evaluated as a date expression from `today` with the
// two-digit-year window ending with `two_digit_year_max`; a day serial of 0 or less is no
// date. Raises what the evaluation raises for a date it cannot represent.
bool IsOlderByExpression(std::string_view name, Long limit, DateStamp today,
                         int two_digit_year_max);

// The age test a sweep applies to each name: the same answer as IsOlderByExpression for
// a fixed today, the day limit and the window, except that a name whose date cannot be
// represented is simply not older (it never raises). A component of eight ASCII digits,
// as nearly every log name has, is read directly; any other takes the general route.
class AgeLimit {
 public:
  AgeLimit(Long limit, DateStamp today, int two_digit_year_max);

  // Against today's local date and the platform's two-digit-year window.
  static AgeLimit FromClock(Long limit);

  bool IsOlder(std::string_view name) const;

 private:
  Long limit_;
  DateStamp today_;
  int two_digit_year_max_;
};

}  // namespace tarnwell
