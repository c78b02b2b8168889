// The process command line and the lookup of "/Key=value" switches in it.
#pragma once

#include <string>
#include <string_view>

#include "base/ascii.h"

namespace tarnwell {

// The process's argument text, trimmed of spaces; written once when the run starts.
extern std::string CommandLine;

// The value of the switch `key` `separator` value in `command_line`, or "" when the
// switch is absent or empty.
//  - With a non-empty `terminator`, a key matches only at the start of the command line
//    or right after a terminator; keys are compared ignoring (ASCII) case; the leftmost
//    match wins.
//  - A value that opens with a double quote right after the separator runs to the next
//    double quote (or the end); otherwise it runs to the next terminator. Spaces at both
//    ends are dropped.
//  - `decode` passes the value through DecodeEscapes.
std::string GetCommandLineParameter(std::string command_line, std::string key,
                                    std::string_view separator, bool decode,
                                    std::string_view terminator);

// Whether `name` (such as "/WhatIf") stands in `command_line` as a whole switch: at the
// start or after a blank, and followed by a blank or the end; case ignored. A folder
// named "D:\WhatIfLogs" therefore does not switch anything on.
bool HasSwitch(std::string_view command_line, std::string_view name);

// Replaces {0D}, {0A}, {22} and {09} (upper case only, in that order) by a carriage
// return, a line feed, a double quote and a tab.
std::string DecodeEscapes(std::string_view text);

}  // namespace tarnwell
