// Whether a path names a folder, read from the file system's attributes of it.
#pragma once

#include <string>

#include "platform/os_result.h"

namespace tarnwell::platform {

// Looks at `path` exactly as given (links followed), without listing or opening it; on
// POSIX a path as FolderAsUsed gives it, "\" part of a name.
//  kDone:     an existing folder.
//  kNotThere: nothing is there, or what is there is no folder (a file); on Windows also
//             every failure but a denied access (an invalid name, a drive that is not ready).
//  kFailed:   something may be there but cannot be reached: on POSIX every failure but a
//             missing path (no search permission on a folder above it, a loop of links);
//             on Windows access denied. `reason` says why.
OsResult ProbeFolder(const std::string& path);

}  // namespace tarnwell::platform
