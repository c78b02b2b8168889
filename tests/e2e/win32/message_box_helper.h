// Finds the message boxes another process shows, reads them and presses OK, the way UI
// automation would: test code only, driving real windows.
#pragma once

#include <windows.h>

#include <string>

namespace tarnwell::e2e {

enum class BoxIcon { kNone, kInformation, kError, kWarning, kQuestion, kUnknown };

struct MessageBoxSeen {
  std::string caption;
  std::string text;
  BoxIcon icon = BoxIcon::kUnknown;
  bool has_only_ok = false;  // an OK button and no Cancel, Yes, No...
};

// The visible dialog-class (#32770) window of `process_id`, or null.
HWND FindMessageBox(DWORD process_id);

// Reads caption, text (the static control 0xFFFF), buttons and icon of `box`.
MessageBoxSeen ReadMessageBox(HWND box);

// Presses the box's OK button.
void PressOk(HWND box);

}  // namespace tarnwell::e2e
