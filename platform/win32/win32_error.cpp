#include "platform/win32/win32_error.h"

#include <string>

#include "platform/wide_text.h"

namespace tarnwell::platform {

std::string SystemMessage(unsigned long code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring message(text, length);
  LocalFree(text);
  // The system's messages end in a full stop and a line break.
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                              message.back() == L'.' || message.back() == L' ')) {
    message.pop_back();
  }
  if (message.empty()) return "error " + std::to_string(code);
  return Narrow(message);
}

OsResult Win32Error(DWORD code) {
  if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return OsResult::NotThere();
  return OsResult::Failed(SystemMessage(code), static_cast<int>(code));
}

}  // namespace tarnwell::platform
