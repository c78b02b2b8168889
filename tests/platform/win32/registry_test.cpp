#include "platform/registry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/wide_string.h"
#include "tests/platform/registry_fixture.h"

namespace tarnwell::platform {
namespace {

using namespace std::string_literals;

std::pair<std::int32_t, std::string> Read(const std::string& name, std::uint32_t* type) {
  RegistryKey key = 0;
  std::int32_t status = OpenRegistryKey(kHkeyLocalMachine, test_support::TestKeyPath(), &key);
  std::string data;
  if (status == kErrorSuccess) {
    status = QueryRegistryValue(key, name, type, &data);
    CloseRegistryKey(key);
  }
  return {status, data};
}

// Installations of the earlier 32-bit program keep DebugPath in the 32-bit view; a value
// in the 64-bit view alone is not the one the program reads.
TEST(Win32Registry, ReadsThe32BitViewWithTextAsUtf8) {
  const std::wstring path = Widen(test_support::TestKeyPath());
  HKEY key64 = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key64, nullptr),
            ERROR_SUCCESS);
  const wchar_t only64[] = L"D:\\Only64";
  RegSetValueExW(key64, L"DebugPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(only64),
                 sizeof only64);
  RegCloseKey(key64);
  std::uint32_t type = 0;
  EXPECT_EQ(Read("DebugPath", &type).first, kErrorFileNotFound);

  {
    const std::string text = "D:\\J\xc3\xb6rg\\\xe6\x97\xa5\0more\0"s;
    const test_support::ScopedRegistryKey key32(
        test_support::TestKeyPath(),
        {{"DebugPath", kRegSz, text}, {"Number", kRegDword, "\x2a\0\0\0"s}});
    EXPECT_EQ(Read("debugpath", &type), std::make_pair(kErrorSuccess, text));
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(Read("Number", &type), std::make_pair(kErrorSuccess, "\x2a\0\0\0"s));
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(Read("Missing", &type).first, kErrorFileNotFound);
  }
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_64KEY, 0);
}

}  // namespace
}  // namespace tarnwell::platform
