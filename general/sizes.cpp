#include "general/sizes.h"

#include <cstdio>

#include "base/ascii.h"

namespace tarnwell {
namespace {

// The units and the power of 1024 each stands for.
struct Unit {
  char letter;
  int power;
};
constexpr Unit kUnits[] = {
    {.letter = 'k', .power = 1},
    {.letter = 'm', .power = 2},
    {.letter = 'g', .power = 3},
    {.letter = 't', .power = 4},
};

// The whole number in the decimal digits `digits` (at least one), up to `largest`.
std::optional<std::uint64_t> Digits(std::string_view digits, std::uint64_t largest) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t number = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    if (number > (largest - digit) / 10) return std::nullopt;
    number = number * 10 + digit;
  }
  return number;
}

}  // namespace

std::optional<std::uint64_t> ReadSize(std::string_view text) {
  const std::string folded = FoldCase(text);
  std::string_view rest = folded;
  // The unit's spellings, longest first: "kib", "kb", "k".
  int power = 0;
  for (const Unit& unit : kUnits) {
    for (const std::string_view tail :
         {std::string_view("ib"), std::string_view("b"), std::string_view("")}) {
      const std::string spelling = unit.letter + std::string(tail);
      if (power == 0 && rest.size() > spelling.size() && rest.ends_with(spelling)) {
        power = unit.power;
        rest.remove_suffix(spelling.size());
      }
    }
  }
  const std::uint64_t scale = std::uint64_t{1} << (10 * power);
  const std::optional<std::uint64_t> number = Digits(rest, kLargestSize / scale);
  if (!number || *number == 0) return std::nullopt;
  return *number * scale;
}

std::uint64_t FreeFloor::BytesOf(std::uint64_t total) const {
  if (percent == 0) return bytes;
  // Rounded up: a floor of 10% of 1,001 bytes is 101 bytes, never 100.
  return total / 100 * percent + (total % 100 * percent + 99) / 100;
}

std::optional<FreeFloor> ReadFreeFloor(std::string_view text) {
  if (!text.ends_with('%')) {
    const std::optional<std::uint64_t> bytes = ReadSize(text);
    if (!bytes) return std::nullopt;
    return FreeFloor{.bytes = *bytes};
  }
  const std::optional<std::uint64_t> percent = Digits(text.substr(0, text.size() - 1), 99);
  if (!percent || *percent == 0) return std::nullopt;
  return FreeFloor{.percent = static_cast<int>(*percent)};
}

std::string ShowSize(std::uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " B";
  constexpr const char* kNames[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  double value = static_cast<double>(bytes) / 1024;
  int unit = 0;
  while (value >= 1024 && unit < 5) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, kNames[unit]);
  return text;
}

}  // namespace tarnwell
