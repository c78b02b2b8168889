// The switch lookup on any command line and key: a value is a trimmed piece of the
// command line that only a present switch yields, and decoding never lengthens text.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "base/ascii.h"
#include "general/command_line.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  using namespace tarnwell;
  FuzzedDataProvider input(data, size);
  const bool decode = input.ConsumeBool();
  const std::string key = input.ConsumeRandomLengthString(24);
  const std::string command_line = input.ConsumeRemainingBytesAsString();

  const std::string value = GetCommandLineParameter(command_line, key, "=", decode, " ");
  FUZZ_CHECK(value.size() <= command_line.size());
  if (!value.empty()) {
    FUZZ_CHECK(value.front() != ' ' && value.back() != ' ');
    const auto after_blank = [](const std::string& text) {
      return text.starts_with(' ') ? text : " " + text;
    };
    FUZZ_CHECK(ContainsIgnoringCase(after_blank(command_line), after_blank(key) + "="));
  }
  if (!decode) FUZZ_CHECK(command_line.find(value) != std::string::npos);

  const std::string decoded = DecodeEscapes(command_line);
  FUZZ_CHECK(decoded.size() <= command_line.size());
  if (command_line.find('{') == std::string::npos) FUZZ_CHECK(decoded == command_line);
  return 0;
}
