#include "general/command_line.h"

#include <gtest/gtest.h>

namespace tarnwell {
namespace {

// How the program itself asks: separator "=", no decoding, terminator " ".
std::string Lookup(const std::string& command_line, const std::string& key) {
  return GetCommandLineParameter(command_line, key, "=", false, " ");
}

TEST(GetCommandLineParameter, ReadsSwitchesAsTheProgramAsksForThem) {
  const struct {
    const char* command_line;
    const char* key;
    const char* value;
  } cases[] = {
      {R"(/Path="C:\My Logs")", "/Path", R"(C:\My Logs)"},
      {R"(/Path=C:\My Logs)", "/Path", R"(C:\My)"},
      {R"(/Path= "C:\My Logs")", "/Path", R"("C:\My)"},
      {R"(/Path=" C:\My Logs " /Silent)", "/Path", R"(C:\My Logs)"},
      {R"(/Path="C:\My Logs /Silent)", "/Path", R"(C:\My Logs /Silent)"},
      {R"(/Path="")", "/Path", ""},
      {"/DeleteAfterDays=7 /Path=", "/Path", ""},
      {"/Path= /Silent", "/Path", "/Silent"},
      {R"(x/Path=C:\Logs)", "/Path", ""},
      {R"(/PATH=C:\Logs)", "/Path", R"(C:\Logs)"},
      {R"(/Path=C:\A /Path=C:\B)", "/Path", R"(C:\A)"},
      {"/PathX=1 /Path=2", "/Path", "2"},
      {"/DeleteAfterDays = 5", "/DeleteAfterDays", ""},
      {"/DeleteAfterDays=  5", "/DeleteAfterDays", "5"},
      {R"(/Path="D:\x /DeleteAfterDays=3")", "/DeleteAfterDays", "3\""},
      {"/Path", "/Path", ""},
      {"", "/Path", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Lookup(c.command_line, c.key), c.value) << c.command_line << " | " << c.key;
  }
}

TEST(GetCommandLineParameter, DecodesOnlyWhenAskedAndAnUnmatchedSeparatorGivesTheRestOfTheLine) {
  EXPECT_EQ(GetCommandLineParameter("/T=a{22}b{09}c", "/T", "=", true, " "), "a\"b\tc");
  EXPECT_EQ(GetCommandLineParameter("/T=a{22}b{09}c", "/T", "=", false, " "), "a{22}b{09}c");
  EXPECT_EQ(GetCommandLineParameter("/keyX value /more", "/key", "x", false, " "),
            "/keyX value /more");
}

TEST(DecodeEscapes, ReplacesTheFourUpperCaseEscapesInOrderNeverRereadingWhatItInserts) {
  const struct {
    const char *text, *decoded;
  } rows[] = {
      {.text = "a{22}b{09}c", .decoded = "a\"b\tc"},
      {.text = "{0D}{0A}{0D}x", .decoded = "\r\n\rx"},
      {.text = "{0d}{0a}{2}{XX}", .decoded = "{0d}{0a}{2}{XX}"},
      {.text = "{{22}0D}", .decoded = "{\"0D}"},
  };
  for (const auto& row : rows) EXPECT_EQ(DecodeEscapes(row.text), row.decoded) << row.text;
}

}  // namespace
}  // namespace tarnwell
