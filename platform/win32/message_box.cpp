#include "platform/message_box.h"

#include <windows.h>

#include "platform/win32/wide_string.h"

namespace tarnwell::platform {

namespace {

constexpr wchar_t kCaption[] = L"Tarnwell";

}  // namespace

void ShowMessage(const std::string& text) {
  MessageBoxW(nullptr, Widen(text).c_str(), kCaption, MB_OK | MB_ICONINFORMATION);
}

void ShowErrorMessage(const std::string& text) {
  MessageBoxW(nullptr, Widen(text).c_str(), kCaption, MB_OK | MB_ICONERROR);
}

}  // namespace tarnwell::platform
