// How a Windows-style path maps onto this file system.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwell::platform {

// `path` with every "\" turned into "/"; nullopt for a drive-letter path ("c:",
// "C:\DebugFiles"), which names nothing here.
std::optional<std::string> ToPosixPath(std::string_view path);

}  // namespace tarnwell::platform
