// One line straight to a file descriptor, for the messages and the /List record alike.
#pragma once

#include <string>

#include "platform/os_result.h"

namespace tarnwell::platform {

// Writes `text` and a line end to `fd`, unbuffered, so a line that was not written is
// known before the run ends. A reader that has gone makes the write fail rather than send
// a signal that ends the process.
//  kDone:   written whole.
//  kFailed: not written (closed, full, broken pipe); `reason` says why.
OsResult WriteLineTo(int fd, const std::string& text);

}  // namespace tarnwell::platform
