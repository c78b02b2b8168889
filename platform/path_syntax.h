// What this system's paths can hold at all.
#pragma once

#include <string_view>

namespace tarnwell::platform {

// Whether `path` could name a folder here at all. Windows names hold no control character
// (U+0001 to U+001F) and no double quote, so a path with a tab, a line break or a quote
// names nothing, and a caller who passed one has been misread (/Path= "C:\My Logs", with a
// blank before the quote, reads as "C:\My); on POSIX a name may hold any byte but NUL.
// Never fails; touches no file.
bool CouldNameFolder(std::string_view path);

}  // namespace tarnwell::platform
