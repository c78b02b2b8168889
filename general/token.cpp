#include "general/token.h"

namespace tarnwell {

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string ExtractToken(std::string_view text, Long& start, std::string_view delimiter,
                         Long& found_at, bool trim, bool skip_leading_blanks) {
  if (start <= 0) start = 1;
  const auto length = static_cast<Long>(text.size());

  Long token_start = start;
  if (skip_leading_blanks) {
    while (token_start <= length && text[token_start - 1] == ' ') ++token_start;
    if (token_start > length) return {};
  }

  Long delimiter_at = 0;
  if (token_start <= length && !delimiter.empty()) {
    const std::size_t hit = text.find(delimiter, token_start - 1);
    if (hit != std::string_view::npos) delimiter_at = static_cast<Long>(hit) + 1;
  }
  found_at = delimiter_at;

  std::string_view token;
  if (token_start <= length) {
    const Long end = delimiter_at > 0 ? delimiter_at - 1 : length;
    token = text.substr(token_start - 1, end - (token_start - 1));
  }
  return std::string(trim ? TrimBlanks(token) : token);
}

}  // namespace tarnwell
