#include "ui/frm_progress.h"

#include <commctrl.h>

#include <cstdint>
#include <utility>

#include "base/runtime_error.h"
#include "platform/wide_text.h"
#include "resources/resource_ids.h"
#include "ui/progress_rules.h"

namespace tarnwell {
namespace {

constexpr wchar_t kClassName[] = L"TarnwellProgressWindow";
// A fixed frame with a small tool-window title bar and no title-bar buttons: the window
// is closed by its owner, never by the user, and keeps off the taskbar.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;
constexpr float kClientWidth = 5400;
constexpr float kClientHeight = 600;
constexpr Long kButtonFace = static_cast<Long>(0x8000000F);  // system colour COLOR_BTNFACE
// Topmost without moving, sizing or activating the window: the design's flag value 19.
constexpr UINT kTopmostFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
static_assert(kTopmostFlags == 19);

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// Error 5, saying what failed (`what` and `name`) and, in the system's words, why: for a
// Win32 call that has just failed, before anything else can overwrite its last error.
[[noreturn]] void RaiseLastError(std::string_view what, std::string_view name = {}) {
  const DWORD code = GetLastError();
  RaiseError(kInvalidProcedureCall,
             std::string(what).append(name) + ": " + platform::SystemMessage(code));
}

void RegisterWindowClass(WNDPROC procedure) {
  // The last error of a failed registration, kept for every later load; 0 once registered.
  static const DWORD failure = [procedure]() -> DWORD {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The program's own icon, when the program carries one.
    HICON icon = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(TARNWELL_PROGRAM_ICON),
                                               IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = Instance();
    window_class.hIcon = icon ? icon : LoadIconW(nullptr, IDI_APPLICATION);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.lpszClassName = kClassName;
    return RegisterClassExW(&window_class) ? 0 : GetLastError();
  }();
  if (failure) {
    RaiseError(kInvalidProcedureCall,
               "registering the progress window: " + platform::SystemMessage(failure));
  }
}

// The dpi the window is drawn at: GetDpiForWindow where the system has it.
int WindowDpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto get_dpi_for_window =
      reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(
          GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (get_dpi_for_window) {
    if (const UINT dpi = get_dpi_for_window(window)) return static_cast<int>(dpi);
  }
  HDC dc = GetDC(window);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(window, dc);
  return dpi > 0 ? dpi : 96;
}

COLORREF ToColorRef(Long colour) {
  const auto bits = static_cast<std::uint32_t>(colour);
  if (bits & 0x80000000u) return GetSysColor(static_cast<int>(bits & 0xFFu));
  return bits & 0xFFFFFFu;
}

RECT ChildRect(HWND parent, HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return platform::Narrow(text);
}

}  // namespace

frmProgress::frmProgress() = default;

frmProgress::~frmProgress() {
  try {
    Unload();
  } catch (...) {  // a destructor must not throw; the window is gone either way
  }
}

void frmProgress::ShowCancel(bool bNewValue) {
  RaisePendingError();
  show_cancel_ = bNewValue;
  Load();
  ApplyWidthRule();
}

void frmProgress::SetBackColour(Long NewColour) {
  RaisePendingError();
  Load();
  const COLORREF colour = ToColorRef(NewColour);
  HBRUSH brush = CreateSolidBrush(colour);
  if (!brush) RaiseLastError("the progress window's background");
  DeleteObject(std::exchange(back_brush_, brush));
  back_colour_ = colour;
  // The window erases with this brush; the two labels ask for it in WM_CTLCOLORSTATIC.
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void frmProgress::SetCurrentTaskCaption(std::string_view NewCaption) {
  RaisePendingError();
  Load();
  HWND label = Control(kLblCurrentTask);
  SetWindowTextW(label, platform::Widen(NewCaption).c_str());
  RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void frmProgress::SetWindowCaption(std::string_view NewCaption) {
  RaisePendingError();
  Load();
  SetWindowTextW(window_, platform::Widen(NewCaption).c_str());
}

void frmProgress::SetProgress(Integer NewValue) {
  RaisePendingError();
  Load();
  MoveBarTo(NewValue);
}

ProgressBar& frmProgress::progOverallProcess() {
  RaisePendingError();
  Load();
  return *bar_;
}

std::string frmProgress::HiddenProgressText() {
  RaisePendingError();
  Load();
  return WindowText(Control(kLblHiddenProgress));
}

void frmProgress::SetHiddenProgressText(std::string_view text) {
  RaisePendingError();
  Load();
  SetWindowTextW(Control(kLblHiddenProgress), platform::Widen(text).c_str());
  RaisePendingError();  // what the label's handler could not throw
}

// All or nothing: a load that fails destroys what it made and leaves the object as it was
// before the call (not loaded, its two fields untouched), so the next member loads afresh.
void frmProgress::Load() {
  if (window_) return;
  RegisterWindowClass(WindowProc);
  try {
    LoadSteps();
  } catch (...) {
    if (window_) DestroyWindow(window_);  // and its controls; WM_NCDESTROY releases the rest
    Release();                            // what a window that never came to be holds
    throw;
  }
}

void frmProgress::LoadSteps() {
  back_colour_ = ToColorRef(kButtonFace);
  back_brush_ = CreateSolidBrush(back_colour_);
  if (!back_brush_) RaiseLastError("the progress window's background");
  if (!CreateWindowExW(kExStyle, kClassName, L"Progress", kStyle, 0, 0, 0, 0, nullptr, nullptr,
                       Instance(), this)) {
    RaiseLastError("creating the progress window");
  }
  dpi_ = WindowDpi(window_);

  // Size the frame around the design client area, then measure what the frame really
  // took and correct for it; centre the window on the work area.
  const LONG client_width = Pixels(kClientWidth), client_height = Pixels(kClientHeight);
  RECT frame{0, 0, client_width, client_height};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{}, outer{}, work{};
  GetClientRect(window_, &client);
  GetWindowRect(window_, &outer);
  const LONG width = outer.right - outer.left + client_width - client.right;
  const LONG height = outer.bottom - outer.top + client_height - client.bottom;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  CreateControls();

  SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, kTopmostFlags);
  ApplyWidthRule();  // a ShowCancel value given before the window existed applies now
  BeenCancelled = false;
  EnableWindow(Control(kCmdCancel), TRUE);
}

void frmProgress::CreateControls() {
  // The window's own text uses the classic 8 pt dialog font, which fits the design's
  // label widths; the task caption has Arial 8.25 pt bold.
  text_font_ = CreateFontW(-MulDiv(8, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Sans Serif");
  task_font_ = CreateFontW(-MulDiv(825, dpi_, 7200), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
  if (!text_font_ || !task_font_) RaiseLastError("the progress window's fonts");

  // Created in tab order; left, top, width and height in twips.
  const struct {
    ControlId id;
    const char* name;
    const wchar_t* window_class;
    const wchar_t* text;
    DWORD style;
    float left, top, width, height;
    HFONT font;
  } controls[] = {
      {kProgOverallProcess, "progOverallProcess", PROGRESS_CLASSW, L"", WS_VISIBLE | PBS_SMOOTH,
       1200, 360, 4095, 135, nullptr},
      {kLblCurrentTaskDesc, "lblCurrentTaskDesc", WC_STATICW, L"Current Task:",
       WS_VISIBLE | SS_NOPREFIX | SS_LEFTNOWORDWRAP, 120, 120, 960, 195, text_font_},
      {kLblCurrentTask, "lblCurrentTask", WC_STATICW, L"", WS_VISIBLE | SS_NOPREFIX, 1200, 120,
       4095, 195, task_font_},
      {kCmdCancel, "cmdCancel", WC_BUTTONW, L"", WS_TABSTOP | BS_PUSHBUTTON | BS_ICON, 5400, 120,
       435, 435, nullptr},
      {kLblHiddenProgress, "lblHiddenProgress", WC_STATICW, L"", SS_NOPREFIX, 120, 360, 555, 195,
       text_font_},
  };
  const auto [substitute_id, substitute_class] = std::exchange(class_substitute_, {});
  for (const auto& c : controls) {
    HWND control = CreateWindowExW(
        0, c.id == substitute_id ? substitute_class : c.window_class, c.text, WS_CHILD | c.style,
        Pixels(c.left), Pixels(c.top), Pixels(c.width), Pixels(c.height), window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), Instance(), nullptr);
    if (!control) RaiseLastError("creating ", c.name);
    if (c.font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
  }
  bar_ = std::make_unique<ProgressBar>(Control(kProgOverallProcess));
  for (ControlId label : {kLblCurrentTask, kLblHiddenProgress}) {
    SetWindowSubclass(Control(label), LabelProc, label, reinterpret_cast<DWORD_PTR>(this));
  }

  // The picture, scaled from the nearest image to fit inside the button's edges.
  const int icon_size = static_cast<int>(Pixels(435)) - 6;
  cancel_icon_ = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(TARNWELL_CANCEL_ICON),
                                               IMAGE_ICON, icon_size, icon_size, 0));
  SendMessageW(Control(kCmdCancel), BM_SETIMAGE, IMAGE_ICON,
               reinterpret_cast<LPARAM>(cancel_icon_));
}

void frmProgress::Show() {
  RaisePendingError();
  Load();
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  UpdateWindow(window_);
}

void frmProgress::Unload() {
  if (window_) {
    show_cancel_ = false;
    ApplyWidthRule();
    BeenCancelled = false;
    DestroyWindow(window_);  // WM_NCDESTROY releases the rest
  }
  show_cancel_ = false;
  BeenCancelled = false;
}

HWND frmProgress::Handle() {
  Load();
  return window_;
}

void frmProgress::RaisePendingError() {
  if (pending_error_) std::rethrow_exception(std::exchange(pending_error_, nullptr));
}

void frmProgress::ApplyWidthRule() {
  RECT client{}, outer{};
  GetClientRect(window_, &client);
  GetWindowRect(window_, &outer);
  HWND cancel = Control(kCmdCancel);
  const RECT right_control = ChildRect(window_, show_cancel_ ? cancel : bar_->Handle());
  const float right_edge =
      Twips(right_control.left) + Twips(right_control.right - right_control.left);
  const float width =
      OuterWidthForRightEdge(Twips(client.right), Twips(outer.right - outer.left), right_edge);
  SetWindowPos(window_, nullptr, 0, 0, Pixels(width), outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(cancel, show_cancel_ ? SW_SHOWNA : SW_HIDE);
  if (show_cancel_) {
    EnableWindow(cancel, TRUE);
    BeenCancelled = false;
  }
}

void frmProgress::ClickCancel() {
  HWND cancel = Control(kCmdCancel);
  if (!IsWindowEnabled(cancel)) return;  // a click sent by message still arrives
  EnableWindow(cancel, FALSE);
  BeenCancelled = true;
  if (Cancelled) Cancelled();
}

void frmProgress::MoveBarTo(Integer value) {
  bar_->SetValue(ClampProgress(value, bar_->Min(), bar_->Max()));
}

Long frmProgress::Pixels(double twips) const { return TwipsToPixels(twips, dpi_); }

float frmProgress::Twips(Long pixels) const { return PixelsToTwips(pixels, dpi_); }

void frmProgress::Release() {
  bar_.reset();
  DeleteObject(std::exchange(back_brush_, nullptr));
  DeleteObject(std::exchange(task_font_, nullptr));
  DeleteObject(std::exchange(text_font_, nullptr));
  if (cancel_icon_) DestroyIcon(std::exchange(cancel_icon_, nullptr));
  window_ = nullptr;
}

LRESULT CALLBACK frmProgress::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<frmProgress*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<frmProgress*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wparam, lparam);
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT frmProgress::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(window_, &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client, back_brush_);
      return 1;
    }
    case WM_CTLCOLORSTATIC: {
      const auto label = reinterpret_cast<HWND>(lparam);
      if (label != Control(kLblCurrentTask) && label != Control(kLblCurrentTaskDesc)) break;
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetBkColor(dc, back_colour_);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(back_brush_);
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == kCmdCancel && HIWORD(wparam) == BN_CLICKED) {
        // C++ exceptions must not unwind through the system's frames above us.
        try {
          ClickCancel();
        } catch (...) {
          pending_error_ = std::current_exception();
        }
        return 0;
      }
      break;
    case WM_CLOSE:
      return 0;  // the owner unloads the window
    case WM_NCDESTROY: {
      const LRESULT result = DefWindowProcW(window_, message, wparam, lparam);
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      Release();
      return result;
    }
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

LRESULT CALLBACK frmProgress::LabelProc(HWND label, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR id, DWORD_PTR self_pointer) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(label, LabelProc, id);
  if (message != WM_SETTEXT) return DefSubclassProc(label, message, wparam, lparam);

  const LRESULT result = DefSubclassProc(label, message, wparam, lparam);
  auto* self = reinterpret_cast<frmProgress*>(self_pointer);
  if (id == kLblCurrentTask) {
    // Paint now: the owner may be busy and not pumping messages for a while.
    RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  } else {
    try {
      self->MoveBarTo(ProgressFromText(WindowText(label)));
    } catch (...) {  // kept for the caller: see SetHiddenProgressText
      self->pending_error_ = std::current_exception();
    }
  }
  return result;
}

}  // namespace tarnwell
