// frmProgress: a small topmost window for long work, with a task caption, a progress bar
// and an optional picture Cancel button. The owner drives it through the members below
// and learns of a cancel request from `BeenCancelled` or the `Cancelled` callback.
//
// Every member that touches the window loads it first (hidden until Show). Reading or
// writing `BeenCancelled` and reading ShowCancel() never do.
//
// Errors: a member's own failure is raised to its caller as a RuntimeError. Work the
// window does inside its message handling (a number written into the hidden label, the
// owner's `Cancelled` handler) cannot throw through Win32; its error is kept and raised
// by the next member call, or at once by SetHiddenProgressText. Loading is all or nothing:
// a load that fails (a control the system would not create) raises error 5 with the
// system's words in its detail and leaves no window behind; the next member loads afresh.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "general/numbers.h"
#include "ui/progress_bar.h"

namespace tarnwell {

class frmProgress {
 public:
  // Child-window identifiers for GetDlgItem, in tab order.
  enum ControlId : int {
    kProgOverallProcess = 101,
    kLblCurrentTaskDesc,
    kLblCurrentTask,
    kCmdCancel,
    kLblHiddenProgress,
  };

  frmProgress();
  ~frmProgress();  // unloads
  frmProgress(const frmProgress&) = delete;
  frmProgress& operator=(const frmProgress&) = delete;

  // Set by a click on Cancel; cleared by loading, unloading and ShowCancel(true).
  bool BeenCancelled = false;

  // Raised once per click on Cancel, after BeenCancelled is set.
  std::function<void()> Cancelled;

  bool ShowCancel() const { return show_cancel_; }
  // Shows or hides the Cancel button and widens or narrows the window to suit; true also
  // re-arms the button and clears BeenCancelled.
  void ShowCancel(bool bNewValue);

  // 00BBGGRR, or 0x80000000 plus a system colour index. Paints the window and the two
  // visible labels; the bar and the button keep their colours.
  void SetBackColour(Long NewColour);
  // Sets the task caption and repaints it at once, even if the owner is not pumping
  // messages. So does writing the label (kLblCurrentTask) with SetWindowTextW.
  void SetCurrentTaskCaption(std::string_view NewCaption);
  void SetWindowCaption(std::string_view NewCaption);
  // Moves the bar to NewValue limited to the bar's rounded range, read afresh each call.
  void SetProgress(Integer NewValue);

  // The bar, so the owner can change its range.
  ProgressBar& progOverallProcess();
  // The hidden label: text written into it moves the bar as its number rounded
  // (Overflow, error 6, beyond the Integer range: the bar then stays where it was).
  std::string HiddenProgressText();
  void SetHiddenProgressText(std::string_view text);

  // The owner's control of the window's life.
  void Load();
  void Show();
  void Unload();
  bool Loaded() const { return window_ != nullptr; }
  HWND Handle();  // loads

  // Raises, once, an error kept from the window's message handling.
  void RaisePendingError();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK LabelProc(HWND label, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR id, DWORD_PTR self);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void LoadSteps();
  void CreateControls();
  void ApplyWidthRule();
  void ClickCancel();
  void MoveBarTo(Integer value);
  Long Pixels(double twips) const;
  float Twips(Long pixels) const;
  HWND Control(ControlId id) const { return GetDlgItem(window_, id); }
  void Release();

  bool show_cancel_ = false;
  HWND window_ = nullptr;
  int dpi_ = 96;
  std::unique_ptr<ProgressBar> bar_;
  HBRUSH back_brush_ = nullptr;
  COLORREF back_colour_ = 0;
  HFONT task_font_ = nullptr;
  HFONT text_font_ = nullptr;
  HICON cancel_icon_ = nullptr;
  std::exception_ptr pending_error_;

  // How a test makes a control's creation fail for real: the next load asks for this
  // window class, one that nobody registered, in place of that control's own.
  friend class ProgressWindowTest;
  std::pair<ControlId, const wchar_t*> class_substitute_{};
};

}  // namespace tarnwell
