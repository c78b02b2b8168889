#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/wide_string.h"
#include "tests/platform/registry_fixture.h"

namespace tarnwell::test_support {

std::string TestKeyPath() {
  return std::string("SOFTWARE\\TarnwellTest\\") +
         ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

ScopedRegistryKey::ScopedRegistryKey(std::string key_path, const std::vector<StoredValue>& values)
    : key_path_(std::move(key_path)) {
  HKEY key = nullptr;
  const LONG status =
      RegCreateKeyExW(HKEY_LOCAL_MACHINE, platform::Widen(key_path_).c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr);
  EXPECT_EQ(status, ERROR_SUCCESS) << "creating " << key_path_;
  if (status != ERROR_SUCCESS) return;
  for (const StoredValue& value : values) {
    const bool text =
        value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
    const std::wstring wide = platform::Widen(value.data);
    const auto* bytes = text ? reinterpret_cast<const BYTE*>(wide.data())
                             : reinterpret_cast<const BYTE*>(value.data.data());
    const DWORD size = static_cast<DWORD>(text ? wide.size() * sizeof(wchar_t) : value.data.size());
    EXPECT_EQ(RegSetValueExW(key, platform::Widen(value.name).c_str(), 0, value.type, bytes, size),
              ERROR_SUCCESS)
        << value.name;
  }
  RegCloseKey(key);
}

ScopedRegistryKey::~ScopedRegistryKey() {
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, platform::Widen(key_path_).c_str(), KEY_WOW64_32KEY, 0);
}

}  // namespace tarnwell::test_support
