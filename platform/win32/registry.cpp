#include "platform/registry.h"

#include <windows.h>

#include <vector>

#include "platform/wide_text.h"
#include "platform/win32/win32_error.h"

namespace tarnwell::platform {
namespace {

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

struct RegistryKey::Opened {
  HKEY key;
};

void RegistryKey::Close::operator()(Opened* opened) const {
  RegCloseKey(opened->key);
  delete opened;
}

OsResult OpenRegistryKey(std::int32_t root, const std::string& sub_key, RegistryKey* key,
                         std::vector<std::string>*) {
  *key = RegistryKey();
  HKEY opened = nullptr;
  // Installations of the earlier 32-bit program keep their values in the 32-bit view.
  const LONG status = RegOpenKeyExW(RootHandle(root), Widen(sub_key).c_str(), 0,
                                    KEY_QUERY_VALUE | KEY_WOW64_32KEY, &opened);
  if (status != ERROR_SUCCESS) return Win32Error(static_cast<DWORD>(status));
  *key = RegistryKey(RegistryKey::OpenedPtr(new RegistryKey::Opened{opened}));
  return OsResult::Done();
}

OsResult QueryRegistryValue(const RegistryKey& key, const std::string& value_name, bool with_data,
                            RegistryValue* value) {
  if (!key.IsOpen()) return OsResult::NotThere();
  const HKEY handle = key.opened()->key;
  const std::wstring name = Widen(value_name);
  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG status = RegQueryValueExW(handle, name.c_str(), nullptr, &type, nullptr, &size);
  std::vector<BYTE> bytes;
  // A value that grows between asking its size and reading it answers ERROR_MORE_DATA with
  // the new size: try again a few times before passing that status on.
  for (int attempt = 0; status == ERROR_SUCCESS && with_data && size > 0; ++attempt) {
    bytes.resize(size);
    status = RegQueryValueExW(handle, name.c_str(), nullptr, &type, bytes.data(), &size);
    if (status != ERROR_MORE_DATA || attempt == 3) break;
    status = ERROR_SUCCESS;
  }
  if (status != ERROR_SUCCESS) return Win32Error(static_cast<DWORD>(status));
  value->type = type;
  if (!with_data) {
    value->data.clear();
  } else if (IsTextType(type)) {
    value->data = TextFromBytes(bytes, size);
  } else {
    value->data.assign(bytes.begin(), bytes.begin() + size);
  }
  return OsResult::Done();
}

}  // namespace tarnwell::platform
