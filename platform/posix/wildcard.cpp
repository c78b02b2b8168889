#include "platform/posix/wildcard.h"

#include "base/ascii.h"

namespace tarnwell::platform {
namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Moves `at` past the UTF-8 character that starts there, so "?" takes a whole character.
// Only a lead byte owns the continuation bytes after it: a stray one after an ASCII byte
// is a character of its own, so a name holding "?" still matches itself as a pattern.
std::size_t NextCharacter(std::string_view text, std::size_t at) {
  const bool lead = static_cast<unsigned char>(text[at]) >= 0xC0;
  ++at;
  while (lead && at < text.size() && IsContinuationByte(text[at])) ++at;
  return at;
}

}  // namespace

// On a mismatch the last "*" takes one more character and matching resumes after it.
bool MatchesPattern(std::string_view name, std::string_view pattern) {
  std::size_t n = 0;
  std::size_t p = 0;
  std::size_t star_p = std::string_view::npos;
  std::size_t star_n = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star_p = ++p;
      star_n = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n = NextCharacter(name, n);
    } else if (p < pattern.size() && FoldCase(pattern[p]) == FoldCase(name[n])) {
      ++p;
      ++n;
    } else if (star_p != std::string_view::npos) {
      p = star_p;
      n = star_n = NextCharacter(name, star_n);
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace tarnwell::platform
