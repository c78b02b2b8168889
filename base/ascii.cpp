#include "base/ascii.h"

#include <algorithm>

namespace tarnwell {

std::string FoldCase(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = FoldCase(c);
  return folded;
}

std::size_t FindIgnoringCase(std::string_view text, std::string_view part) {
  const auto hit = std::search(text.begin(), text.end(), part.begin(), part.end(),
                               [](char a, char b) { return FoldCase(a) == FoldCase(b); });
  if (hit == text.end() && !part.empty()) return std::string_view::npos;
  return static_cast<std::size_t>(hit - text.begin());
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         FindIgnoringCase(text.substr(0, prefix.size()), prefix) == 0;
}

std::string_view TrimSpacesAndTabs(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

}  // namespace tarnwell
