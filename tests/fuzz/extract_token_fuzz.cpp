// The token scanner on any text, start and delimiter: the token is a piece of the text,
// the delimiter position points at the delimiter, and start is never left below 1.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "general/token.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  using namespace tarnwell;
  FuzzedDataProvider input(data, size);
  Long start = input.ConsumeIntegral<Long>();
  Long found_at = input.ConsumeIntegral<Long>();
  const Long found_before = found_at;
  const bool trim = input.ConsumeBool();
  const bool skip_leading_blanks = input.ConsumeBool();
  const std::string delimiter = input.ConsumeRandomLengthString(4);
  const std::string text = input.ConsumeRemainingBytesAsString();
  const Long start_before = start;

  const std::string token =
      ExtractToken(text, start, delimiter, found_at, trim, skip_leading_blanks);
  FUZZ_CHECK(start == (start_before <= 0 ? 1 : start_before));
  FUZZ_CHECK(token.size() <= text.size() && text.find(token) != std::string::npos);
  if (trim && !token.empty()) FUZZ_CHECK(token.front() != ' ' && token.back() != ' ');
  if (found_at != found_before && found_at != 0) {
    FUZZ_CHECK(found_at >= start && static_cast<std::size_t>(found_at) <= text.size());
    FUZZ_CHECK(text.compare(found_at - 1, delimiter.size(), delimiter) == 0);
  }
  if (found_at > 0 && found_at != found_before) {
    FUZZ_CHECK(text.find(token, start - 1) + token.size() <= static_cast<std::size_t>(found_at));
  }
  return 0;
}
