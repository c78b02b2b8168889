// Small operations on paths. "/" and "\" are both separators; a drive colon is not.
#pragma once

#include <string>
#include <string_view>

namespace tarnwell {

// The part after the last separator, or the whole path when it has none.
std::string FileNameFromPath(std::string_view path);

// The file part of `path` without its last "." and what follows.
std::string FileNameWithoutExtension(std::string_view path);

// True when `path`, exactly as given, names an existing folder. Every failure to read
// its attributes (missing, invalid, not ready, denied) gives false.
bool FolderExists(const std::string& path);

}  // namespace tarnwell
