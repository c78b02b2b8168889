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
      {"/DeleteAfterDays=7 /Path=", "/Path", ""},
      {"/Path= /Silent", "/Path", "/Silent"},
      {R"(x/Path=C:\Logs)", "/Path", ""},
      {R"(/PATH=C:\Logs)", "/Path", R"(C:\Logs)"},
      {R"(/Path=C:\A /Path=C:\B)", "/Path", R"(C:\A)"},
      {"/PathX=1 /Path=2", "/Path", "2"},
      {"/DeleteAfterDays = 5", "/DeleteAfterDays", ""},
      {"/DeleteAfterDays=  5", "/DeleteAfterDays", "5"},
      {R"(/Path="D:\x /DeleteAfterDays=3")", "/DeleteAfterDays", "3\""},
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

TEST(DecodeEscapes, ReplacesTheFourUpperCaseEscapesNeverRereadingWhatItInserts) {
  EXPECT_EQ(DecodeEscapes("{0D}{0A}x{0d}{2}"), "\r\nx{0d}{2}");
  EXPECT_EQ(DecodeEscapes("{{22}0D}"), "{\"0D}");
}

}  // namespace
}  // namespace tarnwell
