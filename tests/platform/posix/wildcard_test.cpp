#include "platform/posix/wildcard.h"

#include <gtest/gtest.h>

namespace tarnwell::platform {
namespace {

TEST(Wildcard, MatchesWholeCharactersIgnoringAsciiCase) {
  const struct {
    const char* name;
    const char* pattern;
    bool matches;
  } rows[] = {
      {.name = "trace.20140804.LOG", .pattern = "*.????????.log", .matches = true},
      {.name = "trace.2014080.log", .pattern = "*.????????.log", .matches = false},
      {.name = "a.b.20140804.log.20140804.log", .pattern = "*.????????.log", .matches = true},
      {.name = "x.2014080\xC3\xA9.log", .pattern = "*.????????.log", .matches = true},
      {.name = "\xC3\x89", .pattern = "\xC3\xA9", .matches = false},  // only ASCII folds
      {.name = "aXbXc", .pattern = "a*b*c", .matches = true},
      {.name = "", .pattern = "*", .matches = true},
      {.name = "", .pattern = "?", .matches = false},
      // Found by fuzzing: "?" swallowed the stray continuation bytes after an ASCII byte,
      // so this name did not match itself.
      {.name = "\x9C\x9C\x9C?\x9C\x9C\x9C",
       .pattern = "\x9C\x9C\x9C?\x9C\x9C\x9C",
       .matches = true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(MatchesPattern(row.name, row.pattern), row.matches)
        << "name \"" << row.name << "\", pattern \"" << row.pattern << "\"";
  }
}

}  // namespace
}  // namespace tarnwell::platform
