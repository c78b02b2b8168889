// Date expressions on any text from any canonical stamp: errors 5 and 6 only, and a time
// of day inside one day unless the expression itself sets a later one ("99:00").
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <string>

#include "base/runtime_error.h"
#include "general/date_expression.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  using namespace tarnwell;
  FuzzedDataProvider input(data, size);
  const Long day = input.ConsumeIntegral<Long>();
  const float seconds = static_cast<float>(input.ConsumeIntegralInRange(0, 86399));
  const int window_max = input.ConsumeIntegralInRange(99, 9999);
  const std::string expression = input.ConsumeRemainingBytesAsString();
  try {
    const DateStamp stamp =
        EvaluateDateExpressionFrom(expression, MakeStamp(day, seconds), window_max);
    FUZZ_CHECK(std::isfinite(stamp.Seconds) && stamp.Seconds >= 0);
    if (expression.find(':') == std::string::npos) FUZZ_CHECK(stamp.Seconds <= 86400);
  } catch (const RuntimeError& error) {
    FUZZ_CHECK(error.Number() == kInvalidProcedureCall || error.Number() == kOverflow);
  }
  return 0;
}
