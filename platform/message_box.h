// The program's only user interface: one message at the end of a run.
#pragma once

#include <string>

namespace tarnwell::platform {

// An information message: on Windows a modal box (OK, information icon, caption
// "Tarnwell") that returns when it is closed; on POSIX one line on standard output.
void ShowMessage(const std::string& text);

// A run-time error report: on Windows a modal box with the error icon; on POSIX one line
// on standard error.
void ShowErrorMessage(const std::string& text);

}  // namespace tarnwell::platform
