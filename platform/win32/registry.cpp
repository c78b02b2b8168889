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
                         std::vector<std::string>*, RegistryView view) {
  *key = RegistryKey();
  HKEY opened = nullptr;
  const REGSAM view_flag = view == RegistryView::k32Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  const LONG status = RegOpenKeyExW(RootHandle(root), Widen(sub_key).c_str(), 0,
                                    KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | view_flag, &opened);
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

// The names RegEnumKeyExW or RegEnumValueW (`enumerate`) give for `key`, one index after the
// other until there are no more.
template <typename Enumerate>
OsResult ListNames(const RegistryKey& key, std::vector<std::string>* names, Enumerate enumerate) {
  names->clear();
  if (!key.IsOpen()) return OsResult::NotThere();
  // A key name holds at most 255 characters, a value name 16,383.
  std::vector<wchar_t> name(16384);
  for (DWORD index = 0;; ++index) {
    DWORD size = static_cast<DWORD>(name.size());
    const LONG status = enumerate(key.opened()->key, index, name.data(), &size);
    if (status == ERROR_NO_MORE_ITEMS) return OsResult::Done();
    if (status != ERROR_SUCCESS) return Win32Error(static_cast<DWORD>(status));
    names->push_back(Narrow(std::wstring(name.data(), size)));
  }
}

OsResult ListRegistrySubKeys(const RegistryKey& key, std::vector<std::string>* names) {
  return ListNames(key, names, [](HKEY handle, DWORD index, wchar_t* name, DWORD* size) {
    return RegEnumKeyExW(handle, index, name, size, nullptr, nullptr, nullptr, nullptr);
  });
}

OsResult ListRegistryValues(const RegistryKey& key, std::vector<std::string>* names) {
  return ListNames(key, names, [](HKEY handle, DWORD index, wchar_t* name, DWORD* size) {
    return RegEnumValueW(handle, index, name, size, nullptr, nullptr, nullptr, nullptr);
  });
}

std::string ExpandRegistryText(const std::string& text) {
  const std::wstring wide = Widen(text);
  // The size asked for counts the terminating NUL.
  const DWORD size = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
  std::wstring expanded(size, L'\0');
  if (size == 0 || ExpandEnvironmentStringsW(wide.c_str(), expanded.data(), size) != size) {
    return text;
  }
  expanded.resize(size - 1);
  return Narrow(expanded);
}

std::string RegistryLocation() { return "the registry"; }

}  // namespace tarnwell::platform
