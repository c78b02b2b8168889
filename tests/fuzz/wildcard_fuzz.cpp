// The wildcard matcher against a plain memoised recursion over the same rules: they must
// agree on every name and pattern, and a name always matches itself and "*".
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "base/ascii.h"
#include "platform/posix/wildcard.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

std::size_t NextCharacter(std::string_view text, std::size_t at) {
  const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  if (byte(at++) < 0xC0) return at;
  while (at < text.size() && (byte(at) & 0xC0) == 0x80) ++at;
  return at;
}

bool Reference(std::string_view name, std::string_view pattern, std::size_t n, std::size_t p,
               std::vector<signed char>& memo) {
  signed char& known = memo[n * (pattern.size() + 1) + p];
  if (known >= 0) return known;
  bool match = false;
  if (p == pattern.size()) {
    match = n == name.size();
  } else if (pattern[p] == '*') {
    match = Reference(name, pattern, n, p + 1, memo) ||
            (n < name.size() && Reference(name, pattern, NextCharacter(name, n), p, memo));
  } else if (n < name.size()) {
    match = pattern[p] == '?' ? Reference(name, pattern, NextCharacter(name, n), p + 1, memo)
                              : tarnwell::FoldCase(pattern[p]) == tarnwell::FoldCase(name[n]) &&
                                    Reference(name, pattern, n + 1, p + 1, memo);
  }
  return known = match;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  using tarnwell::platform::MatchesPattern;
  FuzzedDataProvider input(data, size);
  const std::string pattern = input.ConsumeRandomLengthString(64);
  const std::string name = input.ConsumeRemainingBytesAsString().substr(0, 256);
  std::vector<signed char> memo((name.size() + 1) * (pattern.size() + 1), -1);
  FUZZ_CHECK(MatchesPattern(name, pattern) == Reference(name, pattern, 0, 0, memo));
  FUZZ_CHECK(MatchesPattern(name, name) && MatchesPattern(name, "*"));
  return 0;
}
