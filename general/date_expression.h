// Short date expressions ("2014-08-04", "nowday-1T06:00") evaluated into a stamp.
#pragma once

#include <string>
#include <string_view>

#include "general/date_stamp.h"

namespace tarnwell {

// Evaluates `Expression` starting from the current moment (the clock is read once), with
// the platform's two-digit-year window.
DateStamp EvaluateDateExpression(std::string Expression);

// Evaluates `expression` from the stamp `start`. Tokens are separated by a capital "T"
// only; each is trimmed of spaces and lower-cased, then read as the first that fits of:
//   nowday<N>    the day moved by N days (rounded half to even); the time stays
//   nowhour<N>   the start of the stamp's hour moved by N hours, carrying into the day
//   YYYY-MM-DD   that date (month and day carry; years 0-99 fall in the window that
//                ends with `two_digit_year_max`); the time stays
//   HH:MM[:SS]   that time of day, 86,400 and above kept as they are; the day stays
// and anything else is ignored. N is read leniently (ReadNumber): "nowday - 1" is -1.
// Errors: 6 for a day or hour offset out of range and for more than 32,767 tokens;
// 5 for a date outside 1 January 100 .. 31 December 9999.
DateStamp EvaluateDateExpressionFrom(std::string_view expression, DateStamp start,
                                     int two_digit_year_max);

}  // namespace tarnwell
