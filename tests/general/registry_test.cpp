#include "general/registry.h"

#include <gtest/gtest.h>

#include "tests/platform/registry_fixture.h"

namespace tarnwell {
namespace {

using platform::kRegDword;
using platform::kRegExpandSz;
using platform::kRegMultiSz;
using platform::kRegSz;
using test_support::ScopedRegistryKey;
using test_support::StoredValue;
using test_support::TestKeyPath;
using namespace std::string_literals;

TEST(TrimAtNull, CutsAtTheFirstOrLastNul) {
  const std::string long_text(40000, 'x');
  const struct {
    std::string text;
    bool from_end;
    std::string expected;
  } cases[] = {
      {"abc", false, "abc"},
      {"", false, ""},
      {"a\0b\0"s, false, "a"},
      {"a\0b\0"s, true, "a\0b"s},
      {"D:\\Logs\0\0\0"s, false, "D:\\Logs"},
      // Positions beyond 32,767 are ordinary positions.
      {long_text + '\0' + "tail", false, long_text},
      {long_text + '\0' + long_text + '\0', true, long_text + '\0' + long_text},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrimAtNull(c.text, c.from_end), c.expected)
        << c.text.substr(0, 20) << " from_end=" << c.from_end;
  }
}

constexpr char kDefault[] = "C:\\Fallback";

TEST(GetRegistryString, ReadsTextValuesAndGivesEmptyForOtherTypes) {
  const struct {
    const char* what;
    StoredValue stored;
    std::string expected;
  } cases[] = {
      {"text", {"DebugPath", kRegSz, "D:\\Logs\0"s}, "D:\\Logs"},
      {"name in another case", {"DEBUGPATH", kRegSz, "D:\\Logs\0"s}, "D:\\Logs"},
      {"empty text", {"DebugPath", kRegSz, "\0"s}, ""},
      {"embedded NUL", {"DebugPath", kRegSz, "D:\\Logs\0more\0"s}, "D:\\Logs"},
      {"no terminator stored", {"DebugPath", kRegSz, "D:\\Logs"}, "D:\\Logs"},
      {"long text", {"DebugPath", kRegSz, std::string(40000, 'L') + '\0'}, std::string(40000, 'L')},
      {"expandable text", {"DebugPath", kRegExpandSz, "%TEMP%\\Logs\0"s}, ""},
      {"text list", {"DebugPath", kRegMultiSz, "D:\\Logs\0E:\\\0\0"s}, ""},
      {"number", {"DebugPath", kRegDword, "\x07\0\0\0"s}, ""},
      {"only another value", {"OtherPath", kRegSz, "D:\\Logs\0"s}, kDefault},
  };
  for (const auto& c : cases) {
    const ScopedRegistryKey key(TestKeyPath(), {c.stored});
    EXPECT_EQ(GetRegistryString(platform::kHkeyLocalMachine, TestKeyPath(), "DebugPath", kDefault),
              c.expected)
        << c.what;
  }
}

TEST(GetRegistryString, GivesTheDefaultForAMissingKey) {
  const ScopedRegistryKey key(TestKeyPath(), {{"DebugPath", kRegSz, "D:\\Logs\0"s}});
  EXPECT_EQ(GetRegistryString(platform::kHkeyLocalMachine, TestKeyPath() + "\\Missing", "DebugPath",
                              kDefault),
            kDefault);
}

TEST(QueryRegistryStringValue, WritesTheOutputOnlyForText) {
  const ScopedRegistryKey key(
      TestKeyPath(), {{"Text", kRegSz, "D:\\Logs\0"s}, {"Number", kRegDword, "\x07\0\0\0"s}});
  platform::RegistryKey opened = 0;
  ASSERT_EQ(platform::OpenRegistryKey(platform::kHkeyLocalMachine, TestKeyPath(), &opened), 0);
  std::string value = "untouched";
  EXPECT_EQ(QueryRegistryStringValue(opened, "Number", value), platform::kErrorSuccess);
  EXPECT_EQ(value, "untouched");
  EXPECT_EQ(QueryRegistryStringValue(opened, "Missing", value), platform::kErrorFileNotFound);
  EXPECT_EQ(value, "untouched");
  EXPECT_EQ(QueryRegistryStringValue(opened, "Text", value), platform::kErrorSuccess);
  EXPECT_EQ(value, "D:\\Logs");
  platform::CloseRegistryKey(opened);
}

}  // namespace
}  // namespace tarnwell
