#include "general/registry.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/platform/registry_fixture.h"

namespace tarnwell {
namespace {

using namespace platform;
using namespace test_support;
using namespace std::string_literals;

TEST(TrimAtNull, CutsAtTheFirstOrLastNulAtAnyPosition) {
  const std::string x(40000, 'x');  // positions beyond 32,767 are ordinary positions
  const std::tuple<std::string, bool, std::string> cases[] = {
      {"abc", false, "abc"},
      {"a\0b\0"s, false, "a"},
      {"a\0b\0"s, true, "a\0b"s},
      {x + '\0' + "tail", false, x},
      {x + '\0' + x + '\0', true, x + '\0' + x}};
  for (const auto& [text, from_end, expected] : cases) {
    EXPECT_EQ(TrimAtNull(text, from_end), expected) << text.substr(0, 9) << from_end;
  }
}

TEST(GetRegistryString, ReadsTextValuesAndGivesEmptyForOtherTypes) {
  const std::string kDefault = "C:\\Fallback";
  const std::tuple<std::string, std::uint32_t, std::string, std::string> cases[] = {
      {"DebugPath", kRegSz, "D:\\Logs\0more\0"s, "D:\\Logs"},
      {"DebugPath", kRegSz, "D:\\J\xc3\xb6rg\\\xe6\x97\xa5\0"s, "D:\\J\xc3\xb6rg\\\xe6\x97\xa5"},
      {"DebugPath", kRegSz, "\0"s, ""},
      {"DebugPath", kRegSz, "D:\\Logs", "D:\\Logs"},  // no terminator stored
      {"DebugPath", kRegSz, std::string(40000, 'L') + '\0', std::string(40000, 'L')},
      {"DebugPath", kRegExpandSz, "%TEMP%\\Logs\0"s, ""},
      {"DebugPath", kRegDword, "\x07\0\0\0"s, ""},
      {"OtherPath", kRegSz, "D:\\Logs\0"s, kDefault},
  };
  for (const auto& [name, type, data, expected] : cases) {
    const ScopedRegistryKey key({{name, type, data}});
    EXPECT_EQ(GetRegistryString(kHkeyLocalMachine, TestKeyPath(), "DebugPath", kDefault), expected)
        << data.substr(0, 20);
    EXPECT_EQ(GetRegistryString(kHkeyLocalMachine, TestKeyPath() + "\\No", "DebugPath", kDefault),
              kDefault);
  }
}

TEST(QueryRegistryStringValue, WritesTheOutputOnlyForText) {
  const ScopedRegistryKey key(
      {{"Text", kRegSz, "D:\\Logs\0"s}, {"Number", kRegDword, "\x07\0\0\0"s}});
  RegistryKey opened = 0;
  ASSERT_EQ(OpenRegistryKey(kHkeyLocalMachine, TestKeyPath(), &opened), 0);
  std::string value = "untouched";
  EXPECT_EQ(QueryRegistryStringValue(opened, "Number", value), kErrorSuccess);
  EXPECT_EQ(QueryRegistryStringValue(opened, "Missing", value), kErrorFileNotFound);
  EXPECT_EQ(value, "untouched");
  EXPECT_EQ(QueryRegistryStringValue(opened, "Text", value), kErrorSuccess);
  EXPECT_EQ(value, "D:\\Logs");
  CloseRegistryKey(opened);
}

}  // namespace
}  // namespace tarnwell
