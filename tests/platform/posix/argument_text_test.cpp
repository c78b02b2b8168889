#include "platform/argument_text.h"

#include <gtest/gtest.h>

namespace tarnwell::platform {
namespace {

TEST(ArgumentTextFromArguments, JoinsArgumentsAndQuotesValuesWithBlanks) {
  const struct {
    std::vector<std::string> arguments;
    const char* text;
  } cases[] = {
      {{}, ""},
      {{"/DeleteAfterDays=7", "/Silent"}, "/DeleteAfterDays=7 /Silent"},
      {{"/DeleteAfterDays=7", "/Path=/var/my logs"}, "/DeleteAfterDays=7 /Path=\"/var/my logs\""},
      {{"/Path=a=b c"}, "/Path=\"a=b c\""},
      {{"/Path=\"a b\""}, "/Path=\"a b\""},
      {{"two words"}, "\"two words\""},
      {{"\"two words\""}, "\"two words\""},
      {{"/Path=", ""}, "/Path= "},
  };
  for (const auto& c : cases) EXPECT_EQ(ArgumentTextFromArguments(c.arguments), c.text) << c.text;
}

}  // namespace
}  // namespace tarnwell::platform
