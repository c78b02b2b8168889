// One line to a standard handle of this GUI program, for the /List record and the notices
// alike.
#pragma once

#include <windows.h>

#include <string>

#include "platform/os_result.h"

namespace tarnwell::platform {

// Where a line goes, and how it takes text.
struct LineTarget {
  HANDLE handle = nullptr;  // null: nowhere to write, which is no failure
  bool console = false;     // wide text, so names in any script show as they are
};

// The process's standard handle `which` (STD_OUTPUT_HANDLE, STD_ERROR_HANDLE) when it leads
// somewhere: set, and of a type the system knows (a file, a pipe, a console). A GUI
// program has one only when a redirection or the program that started it gave it one.
// Otherwise a target without a handle.
LineTarget StandardTarget(DWORD which);

// Writes `line` and CR LF to `target`: a console gets wide text, a file or pipe UTF-8.
//  kDone:   written whole, or `target` has no handle.
//  kFailed: not written whole (closed, full, broken pipe); `reason` says why.
OsResult WriteLineTo(const LineTarget& target, const std::string& line);

}  // namespace tarnwell::platform
