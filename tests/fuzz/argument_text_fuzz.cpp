// The argument text rebuilt from any argument vector or Windows command line: a /Path
// value survives the rebuild and the switch lookup, and the command line loses only the
// program's name and the blanks around the rest.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "general/argument_text.h"
#include "general/command_line.h"
#include "general/token.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  using namespace tarnwell;
  FuzzedDataProvider input(data, size);
  const std::string command_line = input.ConsumeRandomLengthString(256);
  // What a shell can pass: no NULs. The quote is left out so the folder is all one value.
  const auto argument = [&input](std::size_t most) {
    std::string text = input.ConsumeRandomLengthString(most);
    std::erase(text, '\0');
    return text;
  };
  std::string folder = argument(64);
  std::erase(folder, '"');
  std::vector<std::string> arguments{"/DeleteAfterDays=7", "/Path=" + folder};
  while (input.remaining_bytes() > 0 && arguments.size() < 8) arguments.push_back(argument(32));
  const std::string text = ArgumentTextFromArguments(arguments);
  // An empty value lets the lookup run on into the next argument, as it always has.
  if (!folder.empty()) {
    FUZZ_CHECK(GetCommandLineParameter(text, "/Path", "=", false, " ") == TrimBlanks(folder));
  }

  const std::string rest = ArgumentTextFromCommandLine(command_line);
  FUZZ_CHECK(command_line.find(rest) != std::string::npos);
  if (!rest.empty()) FUZZ_CHECK(rest.front() != ' ' && rest.back() != ' ');
  return 0;
}
