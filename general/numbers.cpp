#include "general/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "base/ascii.h"
#include "base/runtime_error.h"

namespace tarnwell {
namespace {

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Walks a text as the number reader sees it: without spaces, tabs and line feeds.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  // The next significant character, or '\0' at the end.
  char Peek() {
    while (pos_ < text_.size() && IsSkipped(text_[pos_])) ++pos_;
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  void Advance() { ++pos_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

double ReadRadixInteger(Cursor& cursor, int radix) {
  std::uint64_t bits = 0;
  for (int digit; (digit = DigitValue(cursor.Peek(), radix)) >= 0; cursor.Advance()) {
    bits = bits * radix + digit;
    if (bits > 0xFFFFFFFFu) RaiseError(kOverflow);
  }
  return static_cast<double>(static_cast<Long>(static_cast<std::uint32_t>(bits)));
}

// Appends the digits at the cursor to `out`; returns how many there were.
int TakeDigits(Cursor& cursor, std::string& out) {
  int count = 0;
  for (char c; IsDigit(c = cursor.Peek()); cursor.Advance(), ++count) out += c;
  return count;
}

// Where the leading significant digit of `mantissa` stands, as a power of ten
// (1.0 -> 0, 12.3 -> 1, 0.05 -> -2), once the exponent `exponent` is applied.
long long DecimalMagnitude(const std::string& mantissa, long long exponent) {
  const std::size_t point = mantissa.find('.');
  const std::size_t integer_digits = point == std::string::npos ? mantissa.size() : point;
  const std::size_t first = mantissa.find_first_not_of("0.");
  if (first == std::string::npos) return std::numeric_limits<long long>::min();
  const long long position = first < integer_digits
                                 ? static_cast<long long>(integer_digits - first) - 1
                                 : -static_cast<long long>(first - integer_digits);
  return position + exponent;
}

double ReadDecimal(Cursor& cursor) {
  std::string mantissa;
  int digits = TakeDigits(cursor, mantissa);
  if (cursor.Peek() == '.') {
    cursor.Advance();
    mantissa += '.';
    digits += TakeDigits(cursor, mantissa);
  }
  if (digits == 0) return 0;

  long long exponent = 0;
  const char marker = cursor.Peek();
  if (marker == 'e' || marker == 'E' || marker == 'd' || marker == 'D') {
    cursor.Advance();
    bool negative = false;
    if (cursor.Peek() == '-' || cursor.Peek() == '+') {
      negative = cursor.Peek() == '-';
      cursor.Advance();
    }
    // Saturate: any exponent this large already decides overflow or underflow.
    for (char c; IsDigit(c = cursor.Peek()); cursor.Advance()) {
      if (exponent < 100000000) exponent = exponent * 10 + (c - '0');
    }
    if (negative) exponent = -exponent;
  }

  const std::string text = mantissa + "e" + std::to_string(exponent);
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (DecimalMagnitude(mantissa, exponent) > 0) RaiseError(kOverflow);
    return 0;  // too small to represent
  }
  return value;
}

}  // namespace

double ReadNumber(std::string_view text) {
  Cursor cursor(text);
  if (cursor.Peek() == '&') {
    cursor.Advance();
    const char prefix = cursor.Peek();
    if (prefix == 'h' || prefix == 'H') {
      cursor.Advance();
      return ReadRadixInteger(cursor, 16);
    }
    if (prefix == 'o' || prefix == 'O') {
      cursor.Advance();
      return ReadRadixInteger(cursor, 8);
    }
    return 0;
  }
  double sign = 1;
  if (cursor.Peek() == '-' || cursor.Peek() == '+') {
    if (cursor.Peek() == '-') sign = -1;
    cursor.Advance();
  }
  return sign * ReadDecimal(cursor);
}

double RoundHalfEven(double value) {
  // The default floating-point environment rounds to nearest, ties to even.
  return std::nearbyint(value);
}

Long ToLong(double value) {
  const double rounded = RoundHalfEven(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) RaiseError(kOverflow);
  return static_cast<Long>(rounded);
}

Integer ToInteger(double value) {
  const double rounded = RoundHalfEven(value);
  if (!(rounded >= -32768.0 && rounded <= 32767.0)) RaiseError(kOverflow);
  return static_cast<Integer>(rounded);
}

float ToSingle(double value) {
  const float single = static_cast<float>(value);
  if (!std::isfinite(single)) RaiseError(kOverflow);
  return single;
}

Long AddLong(Long a, Long b) {
  Long sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) RaiseError(kOverflow);
  return sum;
}

Long MinLong(Long a, Long b) { return a <= b ? a : b; }

Long MaxLong(Long a, Long b) { return a > b ? a : b; }

Long ClampLong(Long value, Long low, Long high) { return MinLong(MaxLong(value, low), high); }

std::optional<Long> ReadWholeNumber(std::string_view text, Long low, Long high) {
  if (text.empty()) return std::nullopt;
  Long number = 0;
  for (const char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    number = number * 10 + (c - '0');
    if (number > high) return std::nullopt;
  }
  if (number < low) return std::nullopt;
  return number;
}

}  // namespace tarnwell
