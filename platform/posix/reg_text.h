// The two text encodings of .reg files, turned into the UTF-8 the rest of the program uses.
// The grammar of the lines is platform/posix/reg_file.h's.
#pragma once

#include <string>
#include <string_view>

namespace tarnwell::platform {

// The text of a .reg file's `bytes`: UTF-16LE after its byte-order mark (as the registry
// editor writes version 5 files) converted into `storage`; otherwise 8-bit text, read as
// UTF-8 where it lies, without a UTF-8 byte-order mark. The view is valid as long as both
// `bytes` and `storage` are.
std::string_view RegFileText(std::string_view bytes, std::string& storage);

// UTF-16LE code units as UTF-8, NULs kept; a lone surrogate becomes U+FFFD and an odd last
// byte is dropped.
std::string Utf8FromUtf16Le(std::string_view bytes);

}  // namespace tarnwell::platform
