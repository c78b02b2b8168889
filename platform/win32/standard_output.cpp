#include "platform/standard_output.h"

#include <windows.h>

#include "platform/wide_text.h"
#include "platform/win32/win32_error.h"

namespace tarnwell::platform {

namespace {

struct Target {
  HANDLE handle = nullptr;  // null: nowhere to write, which is no failure
  bool console = false;     // wide text, so names in any script show as they are
};

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

// A GUI program has no console of its own: a redirection or a parent's pipe comes as the
// standard output handle; without one, a program started from a console window writes to
// that window.
Target FindTarget() {
  const HANDLE own = GetStdHandle(STD_OUTPUT_HANDLE);
  if (own != nullptr && own != INVALID_HANDLE_VALUE && GetFileType(own) != FILE_TYPE_UNKNOWN) {
    return {own, IsConsole(own)};
  }
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return {};
  const HANDLE console =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (console == INVALID_HANDLE_VALUE) return {};
  return {console, true};
}

// Writes all `count` units of `data`, which a pipe may take in parts.
template <typename Unit, typename WriteFunction>
OsResult WriteAll(const Unit* data, DWORD count, WriteFunction write) {
  while (count > 0) {
    DWORD written = 0;
    if (!write(data, count, &written)) return Win32Error(GetLastError());
    if (written == 0) return OsResult::Failed("nothing written");
    data += written;
    count -= written;
  }
  return OsResult::Done();
}

}  // namespace

OsResult WriteStandardOutputLine(const std::string& line) {
  static const Target target = FindTarget();
  if (target.handle == nullptr) return OsResult::Done();
  if (target.console) {
    const std::wstring text = Widen(line) + L"\r\n";
    return WriteAll(text.data(), DWORD(text.size()),
                    [](const wchar_t* data, DWORD count, DWORD* written) {
                      return WriteConsoleW(target.handle, data, count, written, nullptr) != 0;
                    });
  }
  const std::string text = line + "\r\n";
  return WriteAll(text.data(), DWORD(text.size()),
                  [](const char* data, DWORD count, DWORD* written) {
                    return WriteFile(target.handle, data, count, written, nullptr) != 0;
                  });
}

}  // namespace tarnwell::platform
