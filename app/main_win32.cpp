// The Windows process (GUI subsystem, no console): the command line after the program's
// name is the argument text; a run-time error is shown in a box unless the run is silent,
// so a scheduled run never waits on a box nobody can close.
#include <windows.h>

#include <string>

#include "app/tarnwell_fn.h"
#include "base/runtime_error.h"
#include "general/argument_text.h"
#include "general/command_line.h"
#include "platform/message_box.h"
#include "platform/win32/wide_string.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace tarnwell;
  const std::string argument_text =
      ArgumentTextFromCommandLine(platform::Narrow(GetCommandLineW()));
  try {
    return static_cast<int>(Main(argument_text));
  } catch (const RuntimeError& error) {
    if (!ContainsIgnoringCase(argument_text, "/Silent")) {
      platform::ShowErrorMessage(FormatRuntimeError(error));
    }
    return kRunTimeErrorExitStatus;
  }
}
