#include "general/argument_text.h"

#include <gtest/gtest.h>

namespace tarnwell {
namespace {

// Values with blanks are quoted (after the first "=", or the whole argument) unless they
// already are; the black-box runs cover paths with blanks, quoted or not.
TEST(ArgumentTextFromArguments, JoinsArgumentsAndQuotesValuesWithBlanks) {
  const struct {
    std::vector<std::string> arguments;
    const char* text;
  } rows[] = {
      {{"/DeleteAfterDays=7", "/Path=a=b c"}, "/DeleteAfterDays=7 /Path=\"a=b c\""},
      {{"two words"}, "\"two words\""},
      {{"/Path=", ""}, "/Path= "},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ArgumentTextFromArguments(row.arguments), row.text) << row.text;
  }
}

TEST(ArgumentTextFromCommandLine, DropsTheProgramNameQuotedOrNot) {
  const struct {
    const char* command_line;
    const char* text;
  } rows[] = {
      {"Tarnwell.exe\t /Silent  ", "/Silent"},
      {R"("C:\Program Files\Tarnwell.exe" /Path="D:\My Logs")", R"(/Path="D:\My Logs")"},
      {"", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ArgumentTextFromCommandLine(row.command_line), row.text) << row.command_line;
  }
}

}  // namespace
}  // namespace tarnwell
