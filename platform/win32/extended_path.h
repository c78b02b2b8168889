// Paths in the form the file API takes without rewriting or length limit ("\\?\C:\...",
// "\\?\UNC\server\share\..."), made in one place for every call that names a file.
#pragma once

#include <string>
#include <string_view>

namespace tarnwell::platform {

// The prefixes of the extended form, of a drive path and of a share.
inline constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
inline constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

// `path` made absolute against the current folder (or the drive's current folder for
// "c:name") exactly as the file API would read it, then prefixed "\\?\" (a drive path) or
// "\\?\UNC\" (a share). A path already in the "\\?\" form, a device or object path ("\\.\...",
// "\??\...") and one that cannot be made absolute come back unchanged.
std::wstring ExtendedPath(std::wstring_view path);

// The folder `folder` names, in extended form and ending in one "\", so that a name
// appended to it names an entry of it: "c:" is the root of C: here, as "c:" "\" "name"
// has always meant, and "\\?\C:\S\" is the same folder as "\\?\C:\S".
std::wstring ExtendedFolderPath(std::wstring_view folder);

}  // namespace tarnwell::platform
