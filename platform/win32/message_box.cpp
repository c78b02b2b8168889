#include "platform/message_box.h"

#include <windows.h>

#include "platform/wide_text.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/write_line.h"

namespace tarnwell::platform {

namespace {

constexpr wchar_t kCaption[] = L"Tarnwell";

OsResult ShowBox(const std::string& text, UINT icon) {
  if (MessageBoxW(nullptr, Widen(text).c_str(), kCaption, MB_OK | icon) == 0) {
    return Win32Error(GetLastError());
  }
  return OsResult::Done();
}

}  // namespace

OsResult ShowMessage(const std::string& text) { return ShowBox(text, MB_ICONINFORMATION); }

OsResult ShowMessageApart(const std::string& text) { return ShowMessage(text); }

OsResult ShowErrorMessage(const std::string& text) { return ShowBox(text, MB_ICONERROR); }

void ShowNotice(const std::string& text) {
  // Only a standard error the caller gave, looked up at each notice (there are few). Never
  // the console of the prompt the program was started from, as the /List record that was
  // asked for may be: that prompt has moved on, and a line nobody asked for would land
  // among the user's next commands.
  WriteLineTo(StandardTarget(STD_ERROR_HANDLE), text);
}

bool MessagesCanBeSeen() {
  USEROBJECTFLAGS flags{};
  const HWINSTA station = GetProcessWindowStation();
  // Not knowing counts as not visible. A box nobody sees waits for ever, and so does the
  // unattended run behind it, holding up the task's later starts; a message sent elsewhere
  // instead is only out of sight for whoever watches the screen.
  if (station == nullptr ||
      !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr)) {
    return false;
  }
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace tarnwell::platform
