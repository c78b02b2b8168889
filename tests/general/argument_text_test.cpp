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
      {.arguments = {"/DeleteAfterDays=7", "/Path=a=b c"},
       .text = "/DeleteAfterDays=7 /Path=\"a=b c\""},
      {.arguments = {"two words"}, .text = "\"two words\""},
      {.arguments = {"/Path=\"two words\""}, .text = "/Path=\"two words\""},
      {.arguments = {"/Path=", ""}, .text = "/Path= "},
      {.arguments = {}, .text = ""},
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
      {.command_line = "Tarnwell.exe\t /Silent  ", .text = "/Silent"},
      {.command_line = R"("C:\Program Files\Tarnwell.exe" /Path="D:\My Logs")",
       .text = R"(/Path="D:\My Logs")"},
      {.command_line = R"("C:\Program Files\Tarnwell.exe)", .text = ""},
      {.command_line = "Tarnwell.exe", .text = ""},
      {.command_line = "", .text = ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ArgumentTextFromCommandLine(row.command_line), row.text) << row.command_line;
  }
}

}  // namespace
}  // namespace tarnwell
