// How the program names the folders it sweeps and the files it deletes, in the /List record
// and in its messages: the path it actually uses, absolute, one path to a line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwell::platform {

// The folder `folder` names, in the form the sweep opens it and every line names it:
// absolute, this system's separator between components, none repeated and none at the end
// but a root's ("/", "C:\"). nullopt when it names no folder at all: the empty text, and on
// POSIX a drive-letter path ("c:", "C:\DebugFiles") unless `verbatim`.
//  POSIX: "\" separates as "/" does, unless `verbatim` (Rule::verbatim_folder): then it is
//  part of a name, and "c:" a relative folder; a relative folder is taken from the current
//  folder (or stays relative when the current folder has no name left); "." components go.
//  Windows: as the file API resolves it, "c:" being the root of drive C:; a "\\?\" path is
//  taken literally, only its trailing separators dropped. `verbatim` is never set there.
std::optional<std::string> FolderAsUsed(const std::string& folder, bool verbatim = false);

// The entry `name` of `folder` (as FolderAsUsed gives it): one separator between them.
std::string EntryPath(std::string_view folder, std::string_view name);

// `path` written so that one line holds it and a reader can undo the writing. On POSIX,
// where a name may hold any byte but "/" and NUL: "\" becomes "\\", a line feed "\n", a
// carriage return "\r", a tab "\t", any other byte 0x01-0x1F or 0x7F "\x" and two
// lower-case hex digits; every other byte stays. On Windows, whose names hold none of
// these and whose separator is "\", it comes back unchanged.
std::string LineText(std::string_view path);

// `path` as a name in the JSON report: text that a JSON string holds and a reader can
// undo. On POSIX, where a name may hold bytes that are not UTF-8: "\" becomes "\\", and
// every byte that is not part of well-formed UTF-8 "\x" and two lower-case hex digits
// (EscapeNonUtf8); every other byte stays, line ends and quotes too (JSON escapes those).
// On Windows, whose names are UTF-16 and come here always as well-formed UTF-8, with "\"
// their separator, it comes back unchanged: a caller reads "D:\Logs" as it was written.
std::string JsonText(std::string_view path);

}  // namespace tarnwell::platform
