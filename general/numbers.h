// The integer types and number rules every module shares: the lenient reading of a
// number from text, and conversions that round halves to even and raise Overflow.
#pragma once

#include <optional>
#include <string_view>

#include "base/types.h"

namespace tarnwell {

// The numeric value of the longest leading part of `text` that reads as a number.
//  - Spaces, tabs and line feeds are skipped wherever they stand ("7 5" reads 75).
//  - An optional sign, decimal digits with at most one ".", and an optional exponent
//    (E or D, either case, optional sign, digits).
//  - "&H" and "&O" (either case) introduce hexadecimal and octal integers. Their digits
//    form a 32-bit pattern read as a two's-complement Long, so "&HFFFFFFFF" is -1 and
//    "&H80000000" is -2147483648; more digits than 32 bits hold raise Overflow.
//  - Reading stops at the first character that does not fit; no leading number reads 0.
//  - A decimal number beyond the double range raises Overflow (error 6); one too small
//    to represent reads as 0.
double ReadNumber(std::string_view text);

// The whole number `text` writes in decimal digits alone, from `low` to `high` (0 <= low,
// high below 2^31 / 10); nullopt for anything else: a sign, a blank, no digit, a number out
// of range. The strict reading, for the values that must mean exactly what they say.
std::optional<Long> ReadWholeNumber(std::string_view text, Long low, Long high);

// Rounds to the nearest integer, halves to the even neighbour (0.5 -> 0, 1.5 -> 2).
double RoundHalfEven(double value);

// RoundHalfEven, then Overflow (error 6) unless the result fits the target type.
Long ToLong(double value);
Integer ToInteger(double value);

// `value` rounded to the nearest single, as the date arithmetic stores each step. Overflow
// when it lies beyond the single's range or is not a number.
float ToSingle(double value);

// 32-bit addition that raises Overflow instead of wrapping.
Long AddLong(Long a, Long b);

// a if a <= b, otherwise b.
Long MinLong(Long a, Long b);
// a if a > b, otherwise b.
Long MaxLong(Long a, Long b);
// The upper limit is applied last, so with low > high the result is high.
Long ClampLong(Long value, Long low, Long high);

}  // namespace tarnwell
