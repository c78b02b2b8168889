// Text across the Win32 boundary, for the code above this layer that calls Win32 itself
// (the Windows entry point, the progress window). Windows target only.
#pragma once

#include <string>
#include <string_view>

namespace tarnwell::platform {

// UTF-8 inside the program, UTF-16 at the Win32 boundary. Neither fails: a sequence that
// does not convert (ill-formed UTF-8, a lone surrogate) comes out as U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The system's own words for Win32 error `code` (a GetLastError value), without the
// closing full stop and line break: "Cannot find window class" for 1407. "error N" when
// the system has no message for it.
std::string SystemMessage(unsigned long code);

}  // namespace tarnwell::platform
