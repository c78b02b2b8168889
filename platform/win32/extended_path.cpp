#include "platform/win32/extended_path.h"

#include <windows.h>

namespace tarnwell::platform {
namespace {

constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
constexpr std::wstring_view kObjectPrefix = L"\\??\\";

bool IsExtended(std::wstring_view path) { return path.starts_with(kExtendedPrefix); }

std::wstring FullPath(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;
    // Too small: `length` is the size needed, terminator included.
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

}  // namespace

std::wstring ExtendedPath(std::wstring_view path) {
  if (path.empty() || IsExtended(path) || path.starts_with(kDevicePrefix) ||
      path.starts_with(kObjectPrefix)) {
    return std::wstring(path);
  }
  const std::wstring full = FullPath(std::wstring(path));
  // A reserved device name ("C:\logs\con") comes back as "\\.\CON": it stays a device.
  if (IsExtended(full) || full.starts_with(kDevicePrefix)) return full;
  if (full.starts_with(L"\\\\")) return std::wstring(kExtendedUncPrefix) + full.substr(2);
  if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') {
    return std::wstring(kExtendedPrefix) + full;
  }
  return full;
}

std::wstring ExtendedFolderPath(std::wstring_view folder) {
  if (!IsExtended(folder)) return ExtendedPath(std::wstring(folder) + L"\\");
  // The extended form is taken literally: a second "\" would name an empty entry.
  std::wstring path(folder);
  while (path.size() > kExtendedPrefix.size() && path.back() == L'\\') path.pop_back();
  return path + L"\\";
}

}  // namespace tarnwell::platform
