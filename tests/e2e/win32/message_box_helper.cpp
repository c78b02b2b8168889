#include "tests/e2e/win32/message_box_helper.h"

#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

#include "platform/win32/wide_string.h"

namespace tarnwell::e2e {
namespace {

constexpr int kMessageTextId = 0xFFFF;

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

struct Search {
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process_id && IsWindowVisible(window) && ClassName(window) == L"#32770") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct Controls {
  HWND icon = nullptr;
  std::vector<int> buttons;
};

BOOL CALLBACK CollectControl(HWND child, LPARAM parameter) {
  auto* controls = reinterpret_cast<Controls*>(parameter);
  const std::wstring name = ClassName(child);
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  if (name == L"Button" && IsWindowVisible(child)) {
    controls->buttons.push_back(GetDlgCtrlID(child));
  } else if (name == L"Static" && (style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child)) {
    controls->icon = child;
  }
  return TRUE;
}

// Pixels of a screen-sized rectangle, 32-bit BGRX, top row first.
using Pixels = std::vector<DWORD>;

Pixels Capture(HDC source, int x, int y, int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
  GdiFlush();
  const auto* first = static_cast<const DWORD*>(bits);
  Pixels pixels(first, first + static_cast<size_t>(width) * height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return pixels;
}

// `icon` drawn at the size of the control on a background of the control's corner colour.
Pixels Render(HICON icon, int width, int height, COLORREF background) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  HBRUSH brush = CreateSolidBrush(background);
  RECT all = {0, 0, width, height};
  FillRect(memory, &all, brush);
  DeleteObject(brush);
  DrawIconEx(memory, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
  Pixels pixels = Capture(memory, 0, 0, width, height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

long long Distance(const Pixels& a, const Pixels& b) {
  long long sum = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    for (int shift : {0, 8, 16}) {
      sum += std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                      static_cast<int>((b[i] >> shift) & 0xFF));
    }
  }
  return sum;
}

// A box does not say which icon it shows, and an icon handle of another process cannot be
// inspected; so the icon is recognised by what is on the screen, against the stock icons.
BoxIcon RecogniseIcon(HWND icon_control) {
  if (icon_control == nullptr) return BoxIcon::kNone;
  RECT rect;
  GetWindowRect(icon_control, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return BoxIcon::kUnknown;
  HDC screen = GetDC(nullptr);
  Pixels shown;
  // Wait for the box to paint: an unpainted icon area is one flat colour.
  for (int attempt = 0; attempt < 40; ++attempt) {
    shown = Capture(screen, rect.left, rect.top, width, height);
    bool flat = true;
    for (DWORD pixel : shown) flat = flat && ((pixel ^ shown[0]) & 0xFFFFFF) == 0;
    if (!flat) break;
    Sleep(50);
  }
  ReleaseDC(nullptr, screen);
  const DWORD corner = shown.empty() ? 0 : shown[0];
  const COLORREF background = RGB((corner >> 16) & 0xFF, (corner >> 8) & 0xFF, corner & 0xFF);
  const std::pair<LPCWSTR, BoxIcon> stock[] = {
      {IDI_INFORMATION, BoxIcon::kInformation},
      {IDI_ERROR, BoxIcon::kError},
      {IDI_WARNING, BoxIcon::kWarning},
      {IDI_QUESTION, BoxIcon::kQuestion},
  };
  BoxIcon best = BoxIcon::kUnknown;
  long long best_distance = std::numeric_limits<long long>::max();
  for (const auto& [resource, kind] : stock) {
    const long long distance =
        Distance(shown, Render(LoadIconW(nullptr, resource), width, height, background));
    if (distance < best_distance) {
      best_distance = distance;
      best = kind;
    }
  }
  // Close enough: on average no colour channel off by more than 8 of 255.
  const long long tolerance = static_cast<long long>(width) * height * 3 * 8;
  return best_distance <= tolerance ? best : BoxIcon::kUnknown;
}

}  // namespace

HWND FindMessageBox(DWORD process_id) {
  Search search = {process_id, nullptr};
  EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

MessageBoxSeen ReadMessageBox(HWND box) {
  MessageBoxSeen seen;
  seen.caption = platform::Narrow(WindowText(box));
  if (HWND text = GetDlgItem(box, kMessageTextId)) seen.text = platform::Narrow(WindowText(text));
  Controls controls;
  EnumChildWindows(box, CollectControl, reinterpret_cast<LPARAM>(&controls));
  seen.has_only_ok = controls.buttons == std::vector<int>{IDOK};
  seen.icon = RecogniseIcon(controls.icon);
  return seen;
}

void PressOk(HWND box) {
  // What the OK button sends its dialog when clicked; posted, so the helper never waits on
  // the box's own closing.
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

}  // namespace tarnwell::e2e
