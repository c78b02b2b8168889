// What this system's paths can hold at all.
#pragma once

#include <string_view>

namespace tarnwell::platform {

// Whether `path` could name a folder here at all. Windows names hold no control character
// (U+0001 to U+001F), so a path with a tab or a line break names nothing, and a caller who
// passed one has been misread; on POSIX a name may hold any byte but NUL and "/".
// Never fails; touches no file.
bool CouldNameFolder(std::string_view path);

}  // namespace tarnwell::platform
