// The switch lookup as the program asks for it, and the argument text it searches.
#include "general/command_line.h"
#include "general/argument_text.h"

#include <gtest/gtest.h>

namespace tarnwell {
namespace {

// Separator "=", no decoding, terminator " ": how the program looks up its switches. The run
// plan's table reads the rest of the lookup's cases through the program's own reading.
TEST(GetCommandLineParameter, ReadsSwitchesAsTheProgramAsksForThem) {
  const struct {
    const char *command_line, *key, *value;
  } cases[] = {
      // Quoted values keep their blanks and are trimmed; an unclosed quote runs to the end.
      {R"(/Path= "C:\My Logs")", "/Path", R"("C:\My)"},
      {R"(/Path=" C:\My Logs " /Silent)", "/Path", R"(C:\My Logs)"},
      {R"(/Path="C:\My Logs /Silent)", "/Path", R"(C:\My Logs /Silent)"},
      // A key counts at the start or after a blank, in any case, glued to its separator.
      {R"(/PATH=C:\Logs)", "/Path", R"(C:\Logs)"},
      {"/PathX=1 /Path=2", "/Path", "2"},
      {"/DeleteAfterDays = 5", "/DeleteAfterDays", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetCommandLineParameter(c.command_line, c.key, "=", false, " "), c.value)
        << c.command_line << " | " << c.key;
}

// A Windows command line as schedulers, scripts and process APIs write it comes out as the
// lookup reads a switch typed by hand, and without the program's name, quoted or not.
TEST(ArgumentText, ReadsAWindowsCommandLineAsItsCallerMeantIt) {
  const struct {
    const char* command_line;
    const char* text;
  } rows[] = {
      {"Tarnwell.exe\t\t/Silent  ", "/Silent"},
      {R"("C:\Program Files\Tarnwell.exe" /Path="D:\My Logs")", R"(/Path="D:\My Logs")"},
      {R"(T.exe /DeleteAfterDays=7 "/Path=C:\My Logs" /Silent)",
       R"(/DeleteAfterDays=7 /Path="C:\My Logs" /Silent)"},
      {R"(T.exe "/DeleteAfterDays=7" "/Silent")", R"(/DeleteAfterDays="7" /Silent)"},
      {R"(T.exe "/Path=" /Silent)", R"(/Path="" /Silent)"},
      {R"(T.exe "/Path=C:\My Logs\\" "/Path=C:\a\\\b")", R"(/Path="C:\My Logs\" /Path="C:\a\\\b")"},
      {R"(T.exe "/Path=C:\a\"b")", R"("/Path=C:\a\"b")"},
      {R"(T.exe "C:\x y" /Path= "C:\My Logs")", R"("C:\x y" /Path= "C:\My Logs")"},
      {"T.exe /DeleteAfterDays=7\t/Path=C:\\Logs\r\n", R"(/DeleteAfterDays=7 /Path=C:\Logs)"},
      {"T.exe /Path=\"C:\\a\tb\"\t/Silent", "/Path=\"C:\\a\tb\" /Silent"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ArgumentTextFromCommandLine(row.command_line), row.text) << row.command_line;
  }
}

}  // namespace
}  // namespace tarnwell
