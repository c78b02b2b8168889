// errno turned into the platform's result value, in one place for every POSIX call.
#pragma once

#include "platform/os_result.h"

namespace tarnwell::platform {

// kNotThere for a missing entry or path component (ENOENT, ENOTDIR); kFailed with the
// system's description of `error_number` for anything else.
OsResult PosixError(int error_number);

}  // namespace tarnwell::platform
