// The program's only user interface: one message at the end of a run.
#pragma once

#include <string>

#include "platform/os_result.h"

namespace tarnwell::platform {

// An information message: on Windows a modal box (OK, information icon, caption
// "Tarnwell") that returns when it is closed; on POSIX one line on standard output.
//  kDone:   shown (Windows), or written whole (POSIX).
//  kFailed: the box could not be shown, or standard output could not take the line (full
//           disk, closed descriptor); `reason` says why. Never kNotThere.
OsResult ShowMessage(const std::string& text);

// A run-time error report: on Windows a modal box with the error icon; on POSIX one line
// on standard error. Results as for ShowMessage.
OsResult ShowErrorMessage(const std::string& text);

}  // namespace tarnwell::platform
