// progress-demo [SECONDS]: the progress window over a few seconds (default 4) of pretend
// work, with the Cancel button armed. Pressing Cancel stops the work; either way the
// program unloads the window and exits with status 0.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <string>

#include "base/runtime_error.h"
#include "general/numbers.h"
#include "platform/wide_text.h"
#include "ui/frm_progress.h"

namespace {

double DurationSeconds() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  double seconds = 4;
  if (arguments && count > 1)
    seconds = tarnwell::ReadNumber(tarnwell::platform::Narrow(arguments[1]));
  LocalFree(arguments);
  return seconds > 0 ? seconds : 4;
}

// Lets the window handle clicks and repaints for `milliseconds`, as a worker that yields
// between steps would.
void DoEvents(DWORD milliseconds) {
  const ULONGLONG until = GetTickCount64() + milliseconds;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= until) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
  }
}

void Run(double seconds) {
  constexpr int kSteps = 100;
  const char* const tasks[] = {"Reading C:\\DebugFiles", "Checking the dates in file names",
                               "Deleting old log files", "Tidying up"};
  const auto step_time = static_cast<DWORD>(seconds * 1000 / kSteps);

  tarnwell::frmProgress progress;
  progress.Cancelled = [&progress] { progress.SetCurrentTaskCaption("Cancelling..."); };
  progress.SetWindowCaption("Tarnwell - clearing old logs");
  progress.ShowCancel(true);
  progress.Show();
  for (int step = 0; step <= kSteps && !progress.BeenCancelled; ++step) {
    std::string caption = tasks[step * 4 / (kSteps + 1)];
    if (step * 4 / (kSteps + 1) == 2)
      caption += ": trace.201408" + std::to_string(10 + step % 20) + ".log";
    progress.SetCurrentTaskCaption(caption);
    progress.SetProgress(static_cast<tarnwell::Integer>(step));
    DoEvents(step_time);
  }
  if (progress.BeenCancelled) DoEvents(500);  // let "Cancelling..." be seen
  progress.Unload();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    Run(DurationSeconds());
    return 0;
  } catch (const tarnwell::RuntimeError& error) {
    MessageBoxW(nullptr, tarnwell::platform::Widen(tarnwell::FormatRuntimeError(error)).c_str(),
                L"progress-demo", MB_OK | MB_ICONERROR);
    return 1;
  }
}
