#include <windows.h>

#include <string_view>

#include "platform/registry.h"
#include "platform/win32/wide_string.h"
#include "tests/platform/registry_fixture.h"

namespace tarnwell::test_support {

ScopedRegistryKey::ScopedRegistryKey(const std::vector<StoredValue>& values) {
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, platform::Widen(TestKeyPath()).c_str(), 0, nullptr, 0,
                  KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr);
  for (const StoredValue& value : values) {
    const std::wstring wide = platform::Widen(value.data);
    const std::string_view bytes =
        platform::IsTextType(value.type)
            ? std::string_view(reinterpret_cast<const char*>(wide.data()), wide.size() * 2)
            : std::string_view(value.data);
    RegSetValueExW(key, platform::Widen(value.name).c_str(), 0, value.type,
                   reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
  }
  RegCloseKey(key);
}

ScopedRegistryKey::~ScopedRegistryKey() {
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, platform::Widen(TestKeyPath()).c_str(), KEY_WOW64_32KEY, 0);
}

}  // namespace tarnwell::test_support
