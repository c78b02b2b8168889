// The process command line and the lookup of "/Key=value" switches in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// How a switch counts as given. Each switch is read by exactly one of these rules, chosen
// by its kind, and every switch of a kind by the same one (the table in run_plan.cpp):
//  - its value: GetCommandLineParameter with "=", no decoding and the terminator " "
//    (every switch that takes a value);
//  - MentionsSwitch: anywhere, even inside a word (/Silent, and /Path's presence, which
//    alone decides between the folder named and the default sweep);
//  - StartsAWord: at the start of a word, whatever follows (/Keep and the later switches
//    that take a value, so a malformed one refuses the run instead of going unread);
//  - StandsAsWord: as a whole word (/WhatIf, /List and the later flags, so a folder
//    named D:\WhatIfLogs switches nothing on).
// Case is ignored by all of them; a word starts the command line or follows a blank.

// Whether `key` occurs anywhere in `command_line`, case ignored: x/Silentium counts.
bool MentionsSwitch(std::string_view command_line, std::string_view key);

// Whether `key` starts the command line or follows a blank, case ignored, whatever
// follows it.
bool StartsAWord(std::string_view command_line, std::string_view key);

// Whether `key` stands in `command_line` as a whole word: it starts the command line or
// follows a blank, and a blank or the end follows it; case ignored.
bool StandsAsWord(std::string_view command_line, std::string_view key);

// The words of `command_line` that are written as switches: each run of characters between
// blanks outside double quotes (a quoted part belongs to its word) that begins with "/" or
// "-". In order, as views into `command_line`.
std::vector<std::string_view> SwitchWords(std::string_view command_line);

// Replaces {0D}, {0A}, {22} and {09} (upper case only, in that order) by a carriage
// return, a line feed, a double quote and a tab.
std::string DecodeEscapes(std::string_view text);

}  // namespace tarnwell
