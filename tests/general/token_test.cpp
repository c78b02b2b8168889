#include "general/token.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tarnwell {
namespace {

constexpr Long kUntouched = 99;

struct TokenCase {
  const char* text;
  Long start;
  const char* delimiter;
  bool trim;
  bool skip;
  const char* token;
  Long found_at;
  Long start_after;
};

TEST(ExtractToken, CutsTokensAndReportsTheDelimiter) {
  const TokenCase cases[] = {
      {"  abc.def", 1, ".", true, true, "abc", 6, 1},
      {"  abc.def", 1, ".", false, false, "  abc", 6, 1},
      {".abc", 1, ".", true, true, "", 1, 1},
      {"abc   ", 4, ".", true, true, "", kUntouched, 4},  // nothing but blanks from start
      {"abc   ", 4, ".", true, false, "", 0, 4},
      {"abc", 0, ".", true, true, "abc", 0, 1},
      {"abc", 9, ".", true, false, "", 0, 9},
      {"aXbxc", 1, "x", true, true, "aXb", 4, 1},
      {"\tab c.", 1, ".", true, true, "\tab c", 6, 1},  // a tab is no blank
      {"a. b .c", 3, ".", false, true, "b ", 6, 3},
      {"key==v", 1, "==", true, true, "key", 4, 1},
      {"abc", 1, "", true, true, "abc", 0, 1},
  };
  for (const TokenCase& c : cases) {
    Long start = c.start, found_at = kUntouched;
    const std::string token = ExtractToken(c.text, start, c.delimiter, found_at, c.trim, c.skip);
    EXPECT_EQ(std::tuple(token, found_at, start), std::tuple(c.token, c.found_at, c.start_after))
        << '"' << c.text << "\" from " << c.start << " trim " << c.trim << " skip " << c.skip;
  }
}

TEST(ExtractToken, OneVariableMayBeBothStartAndFoundAt) {
  Long position = 1;
  EXPECT_EQ(ExtractToken(" /Path=x", position, "=", position, true, true), "/Path");
  EXPECT_EQ(position, 7);

  position = 5;  // no token start: the variable keeps its (unclamped) start
  EXPECT_EQ(ExtractToken("ab  ", position, "=", position, true, true), "");
  EXPECT_EQ(position, 5);
}

}  // namespace
}  // namespace tarnwell
