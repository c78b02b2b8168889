// The registry lookup over the real registry (Wine's), in the 32-bit view where the program
// reads. On Linux the same lookup runs over .reg files: see reg_file_test.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include "general/registry.h"
#include "platform/win32/wide_string.h"

namespace tarnwell {
namespace {

using namespace std::string_literals;

const std::wstring kKey = L"SOFTWARE\\TarnwellTest";

// The test key holding one value of `type` whose data is `data` (text as UTF-16) while it lives.
struct ScopedValue {
  ScopedValue(const std::string& name, DWORD type, const std::string& data) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey.c_str(), 0, nullptr, 0,
                    KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr);
    const std::wstring text = platform::Widen(data);
    const bool is_text = platform::IsTextType(type);
    RegSetValueExW(key, platform::Widen(name).c_str(), 0, type,
                   reinterpret_cast<const BYTE*>(is_text ? (const void*)text.data() : data.data()),
                   is_text ? text.size() * 2 : data.size());
    RegCloseKey(key);
  }
  ~ScopedValue() { RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kKey.c_str(), KEY_WOW64_32KEY, 0); }
};

TEST(GetRegistryString, ReadsTextUpToItsFirstNulAndGivesEmptyForOtherTypes) {
  const std::string kDefault = "C:\\Fallback", kPath = platform::Narrow(kKey);
  const struct {
    std::string name;
    DWORD type;
    std::string data, read;
  } rows[] = {
      {"DebugPath", REG_SZ, "D:\\J\xc3\xb6rg\\\xe6\x97\xa5\0more\0"s,
       "D:\\J\xc3\xb6rg\\\xe6\x97\xa5"},
      {"DebugPath", REG_SZ, "\0"s, ""},
      {"DebugPath", REG_SZ, "D:\\Logs", "D:\\Logs"},  // no terminator stored
      {"DebugPath", REG_EXPAND_SZ, "%TEMP%\\Logs\0"s, ""},
      {"DebugPath", REG_DWORD, "\x07\0\0\0"s, ""},
      {"OtherPath", REG_SZ, "D:\\Logs\0"s, kDefault},
  };
  for (const auto& row : rows) {
    const ScopedValue value(row.name, row.type, row.data);
    EXPECT_EQ(GetRegistryString(platform::kHkeyLocalMachine, kPath, "DebugPath", kDefault),
              row.read)
        << row.data.substr(0, 20);
    EXPECT_EQ(GetRegistryString(platform::kHkeyLocalMachine, kPath + "\\No", "DebugPath", kDefault),
              kDefault);
  }
}

TEST(TrimAtNull, CutsAtTheFirstOrLastNulAtAnyPosition) {
  const std::string x(40000, 'x');  // positions beyond 32,767 are ordinary positions
  EXPECT_EQ(TrimAtNull("abc", false), "abc");
  EXPECT_EQ(TrimAtNull("a\0b\0"s, false), "a");
  EXPECT_EQ(TrimAtNull(x + '\0' + x + '\0', true), x + '\0' + x);
}

}  // namespace
}  // namespace tarnwell
