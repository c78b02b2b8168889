#include "platform/registry.h"

#include <windows.h>

#include <vector>

#include "platform/wide_text.h"

namespace tarnwell::platform {
namespace {

HKEY ToHandle(RegistryKey key) { return reinterpret_cast<HKEY>(key); }

// The predefined roots are 32-bit values that Windows sign-extends into handles.
HKEY RootHandle(std::int32_t root) { return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(root)); }

// Stored UTF-16 code units (every NUL kept) as UTF-8; an odd trailing byte carries no
// whole unit and is dropped.
std::string TextFromBytes(const std::vector<BYTE>& bytes, DWORD size) {
  std::wstring units(size / sizeof(wchar_t), L'\0');
  if (!units.empty()) memcpy(units.data(), bytes.data(), units.size() * sizeof(wchar_t));
  return Narrow(units);
}

}  // namespace

std::int32_t OpenRegistryKey(std::int32_t root, const std::string& sub_key, RegistryKey* key) {
  HKEY opened = nullptr;
  // Installations of the earlier 32-bit program keep their values in the 32-bit view.
  const LONG status = RegOpenKeyExW(RootHandle(root), Widen(sub_key).c_str(), 0,
                                    KEY_QUERY_VALUE | KEY_WOW64_32KEY, &opened);
  *key = status == ERROR_SUCCESS ? reinterpret_cast<RegistryKey>(opened) : 0;
  return status;
}

std::int32_t QueryRegistryValue(RegistryKey key, const std::string& value_name, std::uint32_t* type,
                                std::string* data) {
  const std::wstring name = Widen(value_name);
  DWORD value_type = REG_NONE;
  DWORD size = 0;
  LONG status = RegQueryValueExW(ToHandle(key), name.c_str(), nullptr, &value_type, nullptr, &size);
  std::vector<BYTE> bytes;
  // A value that grows between asking its size and reading it answers ERROR_MORE_DATA with
  // the new size: try again a few times before passing that status on.
  for (int attempt = 0; status == ERROR_SUCCESS && data != nullptr && size > 0; ++attempt) {
    bytes.resize(size);
    status =
        RegQueryValueExW(ToHandle(key), name.c_str(), nullptr, &value_type, bytes.data(), &size);
    if (status != ERROR_MORE_DATA || attempt == 3) break;
    status = ERROR_SUCCESS;
  }
  if (status != ERROR_SUCCESS) return status;

  if (type != nullptr) *type = value_type;
  if (data != nullptr) {
    *data = IsTextType(value_type) ? TextFromBytes(bytes, size)
                                   : std::string(bytes.begin(), bytes.begin() + size);
  }
  return ERROR_SUCCESS;
}

void CloseRegistryKey(RegistryKey key) {
  if (key != 0) RegCloseKey(ToHandle(key));
}

}  // namespace tarnwell::platform
