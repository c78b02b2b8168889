// The switch lookup as the program asks for it, and the argument text it searches.
#include "general/command_line.h"
#include "general/argument_text.h"

#include <gtest/gtest.h>

namespace tarnwell {
namespace {

// Separator "=", no decoding, terminator " ": how the program looks up its switches.
TEST(GetCommandLineParameter, ReadsSwitchesAsTheProgramAsksForThem) {
  // clang-format off
  const struct { const char *command_line, *key, *value; } cases[] = {
      // Quoted values keep their blanks and are trimmed; an unclosed quote runs to the end.
      {R"(/Path="C:\My Logs")", "/Path", R"(C:\My Logs)"},
      {R"(/Path=C:\My Logs)", "/Path", R"(C:\My)"},
      {R"(/Path= "C:\My Logs")", "/Path", R"("C:\My)"},
      {R"(/Path=" C:\My Logs " /Silent)", "/Path", R"(C:\My Logs)"},
      {R"(/Path="C:\My Logs /Silent)", "/Path", R"(C:\My Logs /Silent)"},
      // A key counts at the start or after a blank, in any case, glued to its separator; the
      // first one wins, even inside quotes.
      {"/DeleteAfterDays=7 /Path=", "/Path", ""}, {R"(x/Path=C:\Logs)", "/Path", ""},
      {R"(/PATH=C:\Logs)", "/Path", R"(C:\Logs)"}, {R"(/Path=C:\A /Path=C:\B)", "/Path", R"(C:\A)"},
      {"/PathX=1 /Path=2", "/Path", "2"}, {"/DeleteAfterDays = 5", "/DeleteAfterDays", ""},
      {R"(/Path="D:\x /DeleteAfterDays=3")", "/DeleteAfterDays", "3\""}};
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(GetCommandLineParameter(c.command_line, c.key, "=", false, " "), c.value)
        << c.command_line << " | " << c.key;
}

// Only the four upper-case escapes are decoded, and only when asked.
TEST(GetCommandLineParameter, DecodesOnlyWhenAskedAndAnUnmatchedSeparatorGivesTheRestOfTheLine) {
  EXPECT_EQ(GetCommandLineParameter("/T=a{22}b{09}c", "/T", "=", true, " "), "a\"b\tc");
  EXPECT_EQ(GetCommandLineParameter("/T=a{22}b{09}c", "/T", "=", false, " "), "a{22}b{09}c");
  EXPECT_EQ(GetCommandLineParameter("/keyX v /more", "/key", "x", false, " "), "/keyX v /more");
  EXPECT_EQ(DecodeEscapes("{0D}{0A}x{0d}{2}"), "\r\nx{0d}{2}");
}

// Values with blanks are quoted after the first "=" (or whole) unless they already are.
TEST(ArgumentText, QuotesValuesWithBlanksAndDropsTheProgramNameQuotedOrNot) {
  EXPECT_EQ(ArgumentTextFromArguments({"/DeleteAfterDays=7", "/Path=a=b c", "two words"}),
            "/DeleteAfterDays=7 /Path=\"a=b c\" \"two words\"");
  EXPECT_EQ(ArgumentTextFromCommandLine("Tarnwell.exe\t\t/Silent  "), "/Silent");
  EXPECT_EQ(ArgumentTextFromCommandLine(R"("C:\Program Files\Tarnwell.exe" /Path="D:\My Logs")"),
            R"(/Path="D:\My Logs")");
}

}  // namespace
}  // namespace tarnwell
