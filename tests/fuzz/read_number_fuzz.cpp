// The lenient number reader on any text: Overflow is its only error, what it reads is a
// finite number that the skipped blanks cannot change, and rounding stays within a half.
#include <algorithm>
#include <cmath>
#include <string>

#include "base/runtime_error.h"
#include "general/numbers.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  using namespace tarnwell;
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string squeezed = text;
  std::erase_if(squeezed, [](char c) { return c == ' ' || c == '\t' || c == '\n'; });
  double value = 0;
  try {
    value = ReadNumber(text);
  } catch (const RuntimeError& error) {
    FUZZ_CHECK(error.Number() == kOverflow);
    try {
      ReadNumber(squeezed);
      FUZZ_CHECK(!"the same digits without blanks read without Overflow");
    } catch (const RuntimeError&) {
    }
    return 0;
  }
  FUZZ_CHECK(std::isfinite(value));
  FUZZ_CHECK(ReadNumber(squeezed) == value);
  if (squeezed.size() > 1 && squeezed[0] == '&') FUZZ_CHECK(value == std::trunc(value));
  try {
    FUZZ_CHECK(std::fabs(ToLong(value) - value) <= 0.5);
  } catch (const RuntimeError& error) {
    FUZZ_CHECK(error.Number() == kOverflow && std::fabs(value) >= 2147483647.5);
  }
  return 0;
}
