// The Windows process (GUI subsystem, no console): the command line after the program's
// name is the argument text; a run-time error is shown in a box unless the run is silent,
// so a scheduled run never waits on a box nobody can close.
#include <windows.h>

#include <string>

#include "app/tarnwell_fn.h"
#include "general/argument_text.h"
#include "general/command_line.h"
#include "platform/message_box.h"
#include "platform/wide_text.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace tarnwell;
  return ExitStatusOfRun(ArgumentTextFromCommandLine(platform::Narrow(GetCommandLineW())), nullptr,
                         [](const RuntimeError& error) {
                           // Main has kept the trimmed argument text in CommandLine.
                           if (!ContainsIgnoringCase(CommandLine, "/Silent")) {
                             platform::ShowErrorMessage(FormatRuntimeError(error));
                           }
                         });
}
