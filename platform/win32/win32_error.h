// GetLastError codes turned into the platform's result value, in one place for every
// Win32 call.
#pragma once

#include <windows.h>

#include "platform/os_result.h"

namespace tarnwell::platform {

// kNotThere for a missing file or path (ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND);
// kFailed with the system's message for `code` for anything else.
OsResult Win32Error(DWORD code);

}  // namespace tarnwell::platform
