// Reading a small configuration file whole, on POSIX.
#pragma once

#include <cstddef>
#include <string>

#include "platform/os_result.h"

namespace tarnwell::platform {

// The bytes of the regular file `path` (a link is followed), of at most `max_bytes`, into
// `*bytes`. It is opened without waiting, and a pipe or a device is never read: either
// would feed the caller without end, or hold the run up for a writer that never comes.
//  kDone:     `*bytes` holds the whole file.
//  kNotThere: no such file (nor a folder on the way to it).
//  kFailed:   it cannot be used; `reason` is the system's words, "not a regular file" or
//             "larger than N MiB".
OsResult ReadRegularFile(const std::string& path, std::size_t max_bytes, std::string* bytes);

}  // namespace tarnwell::platform
