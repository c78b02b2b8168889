// The token scanner shared by the command-line lookup and the folder sweep.
#pragma once

#include <string>
#include <string_view>

#include "general/numbers.h"

namespace tarnwell {

// Cuts the token of `text` that begins at `start` (1-based) and runs up to, not
// including, the next `delimiter` (exact comparison), or to the end of the text.
//
//  - `start` <= 0 is replaced by 1, in the caller's variable too. It is read before
//    `found_at` is written, so one variable may serve as both.
//  - `skip_leading_blanks`: the token begins at the first non-space at or after start;
//    when there is none, the result is empty and `found_at` is left untouched.
//  - `found_at` receives the delimiter's position, or 0 when none follows.
//  - `trim`: spaces are removed from both ends of the token.
// Only the space U+0020 is a blank; tabs and line breaks are ordinary characters.
// An empty delimiter never matches: the token runs to the end of the text.
std::string ExtractToken(std::string_view text, Long& start, std::string_view delimiter,
                         Long& found_at, bool trim, bool skip_leading_blanks);

// `text` without the spaces (U+0020 only) at both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace tarnwell
