#include "platform/win32/write_line.h"

#include "platform/wide_text.h"
#include "platform/win32/win32_error.h"

namespace tarnwell::platform {

namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
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

LineTarget StandardTarget(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
      GetFileType(handle) == FILE_TYPE_UNKNOWN) {
    return {};
  }
  return {handle, IsConsole(handle)};
}

OsResult WriteLineTo(const LineTarget& target, const std::string& line) {
  if (target.handle == nullptr) return OsResult::Done();
  if (target.console) {
    const std::wstring text = Widen(line) + L"\r\n";
    return WriteAll(text.data(), DWORD(text.size()),
                    [&target](const wchar_t* data, DWORD count, DWORD* written) {
                      return WriteConsoleW(target.handle, data, count, written, nullptr) != 0;
                    });
  }
  const std::string text = line + "\r\n";
  return WriteAll(text.data(), DWORD(text.size()),
                  [&target](const char* data, DWORD count, DWORD* written) {
                    return WriteFile(target.handle, data, count, written, nullptr) != 0;
                  });
}

}  // namespace tarnwell::platform
