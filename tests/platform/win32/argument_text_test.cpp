#include "platform/argument_text.h"

#include <gtest/gtest.h>

namespace tarnwell::platform {
namespace {

TEST(ArgumentTextFromCommandLine, DropsTheProgramNameQuotedOrNot) {
  const std::pair<const char*, const char*> cases[] = {
      {R"("C:\Program Files\Tarnwell.exe" /DeleteAfterDays=7)", "/DeleteAfterDays=7"},
      {R"("C:\Program Files\Tarnwell.exe"/Silent)", "/Silent"},
      {R"(Tarnwell.exe   /Path="C:\My Logs"  /Silent  )", R"(/Path="C:\My Logs"  /Silent)"},
      {"Tarnwell.exe\t/Silent", "/Silent"},
      {"Tarnwell.exe", ""},
      {R"("C:\Program Files\Tarnwell.exe)", ""},
      {"", ""},
  };
  for (const auto& [line, text] : cases) EXPECT_EQ(ArgumentTextFromCommandLine(line), text) << line;
}

}  // namespace
}  // namespace tarnwell::platform
