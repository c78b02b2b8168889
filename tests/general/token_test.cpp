#include "general/token.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tarnwell {
namespace {

constexpr Long kUntouched = 99;

TEST(ExtractToken, CutsTokensAndReportsTheDelimiter) {
  const struct {
    const char* text;
    Long start;
    const char* delimiter;
    bool trim, skip;
    const char* token;
    Long found_at, start_after;
  } cases[] = {
      {"  abc.def", 1, ".", true, true, "abc", 6, 1},
      {".abc", 1, ".", true, true, "", 1, 1},
      {"  abc.def", 1, ".", false, false, "  abc", 6, 1},
      // Nothing but blanks from the start: with skipping there is no token start at all.
      {"abc   ", 4, ".", true, true, "", kUntouched, 4},
      {"abc   ", 4, ".", true, false, "", 0, 4},
      // The start is clamped to the text; a tab is no blank; the delimiter is exact.
      {"abc", 0, ".", true, true, "abc", 0, 1},
      {"abc", 9, ".", true, false, "", 0, 9},
      {"aXbxc", 1, "x", true, true, "aXb", 4, 1},
      {"\tab c.", 1, ".", true, true, "\tab c", 6, 1},
      {"a. b .c", 3, ".", false, true, "b ", 6, 3},
      {"key==v", 1, "==", true, true, "key", 4, 1},
      {"abc", 1, "", true, true, "abc", 0, 1},
  };
  for (const auto& c : cases) {
    Long start = c.start, found_at = kUntouched;
    const std::string token = ExtractToken(c.text, start, c.delimiter, found_at, c.trim, c.skip);
    EXPECT_EQ(std::tuple(token, found_at, start), std::tuple(c.token, c.found_at, c.start_after))
        << '"' << c.text << "\" from " << c.start << " trim " << c.trim << " skip " << c.skip;
  }
}

}  // namespace
}  // namespace tarnwell
