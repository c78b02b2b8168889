// Text that holds bytes from outside, kept readable as UTF-8 and reversible.
#pragma once

#include <string>
#include <string_view>

namespace tarnwell {

// `text` with every byte that is not part of a well-formed UTF-8 sequence (a stray
// continuation byte, a sequence cut short, an overlong form, a surrogate, a code point above
// U+10FFFF) written "\x" and two lower-case hex digits, and, when `double_backslashes`, every
// "\" written "\\", so that the original bytes can be read back; well-formed UTF-8 stays
// as it is. The result is always well-formed UTF-8.
std::string EscapeNonUtf8(std::string_view text, bool double_backslashes);

}  // namespace tarnwell
