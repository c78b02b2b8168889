// Lines on the program's standard output, for a record that a scheduler, a pipe or a file
// keeps; the messages of a run go their own way (platform/message_box.h).
#pragma once

#include <string>

#include "platform/os_result.h"

namespace tarnwell::platform {

// Writes `line` and a line end at once, unbuffered, so a run that is cut short leaves every
// line it wrote. On POSIX: file descriptor 1; a closed pipe gives kFailed, never a signal
// that ends the process. On Windows (a GUI program): the standard output handle when the
// process has one (a file or pipe gets UTF-8, a console wide text), else the console of
// the parent process when there is one, else nowhere.
//  kDone:   written, or there is nowhere to write (Windows).
//  kFailed: not written (closed, full, broken pipe); `reason` says why.
OsResult WriteStandardOutputLine(const std::string& line);

}  // namespace tarnwell::platform
