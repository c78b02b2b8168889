// Letter case and digits for ASCII only. Switch names, file-name patterns, registry names
// and date keywords are all ASCII, and folding no other letters keeps comparisons locale-free.
#pragma once

#include <string>
#include <string_view>

namespace tarnwell {

inline char FoldCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The value of the digit `c` in base `radix` (up to 16, letters in either case), or -1.
inline int DigitValue(char c, int radix) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < radix ? value : -1;
}

// `text` with its ASCII letters in lower case.
std::string FoldCase(std::string_view text);

// 0-based index of the first occurrence of `part` in `text`, ignoring case; npos if none.
std::size_t FindIgnoringCase(std::string_view text, std::string_view part);

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

inline bool EqualsIgnoringCase(std::string_view text, std::string_view other) {
  return text.size() == other.size() && StartsWithIgnoringCase(text, other);
}

// `text` without the spaces and tabs at either end.
std::string_view TrimSpacesAndTabs(std::string_view text);

// `text` in single quotes, as messages name what they refuse: 'u_ex{yyMMdd.log'.
std::string Quoted(std::string_view text);

inline bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
  return FindIgnoringCase(text, part) != std::string_view::npos;
}

}  // namespace tarnwell
