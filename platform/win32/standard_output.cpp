#include "platform/standard_output.h"

#include <windows.h>

#include "platform/win32/write_line.h"

namespace tarnwell::platform {

namespace {

// A GUI program has no console of its own: a redirection or a parent's pipe comes as the
// standard output handle; without one, a program started from a console window writes to
// that window.
LineTarget FindTarget() {
  if (const LineTarget own = StandardTarget(STD_OUTPUT_HANDLE); own.handle != nullptr) {
    return own;
  }
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return {};
  const HANDLE console =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (console == INVALID_HANDLE_VALUE) return {};
  return {console, true};
}

}  // namespace

OsResult WriteStandardOutputLine(const std::string& line) {
  static const LineTarget target = FindTarget();
  return WriteLineTo(target, line);
}

}  // namespace tarnwell::platform
