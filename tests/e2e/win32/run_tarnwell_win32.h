// Running Tarnwell.exe under Windows (Wine) and answering its message boxes.
#pragma once

#include <string>
#include <vector>

#include "tests/e2e/run_tarnwell.h"
#include "tests/e2e/win32/message_box_helper.h"

namespace tarnwell::e2e {

struct BoxRun {
  int exit_code = -1;
  std::vector<MessageBoxSeen> boxes;  // in the order shown, each closed with OK
};

// The program as a Windows path.
std::wstring ProgramPath();

// The argument text for `arguments`: joined by blanks, the value of an argument that holds
// a blank (or the whole argument when it has no "=") in double quotes unless already quoted.
std::wstring ArgumentText(const std::vector<std::string>& arguments);

// Starts `command_line` (program name included), closes every box it shows and waits.
BoxRun RunCommandLine(const std::wstring& command_line);

// Runs a console tool such as reg.exe and returns its exit code.
int RunTool(const std::wstring& command_line);

}  // namespace tarnwell::e2e
