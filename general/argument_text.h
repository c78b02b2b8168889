// The process's argument text: the command line after the program's own name, as the
// switch lookup expects it (values with blanks in double quotes). Windows hands a program
// its command line whole; POSIX hands it an argument vector, from which the text is rebuilt.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

// `command_line` (as GetCommandLineW gives it, in UTF-8) without the program's own name,
// quoted or not, and without the spaces around what is left. Callers write their switches
// in the two ways Windows programs receive them, and both come out as the lookup reads
// them:
//  - tabs, carriage returns and line feeds outside double quotes separate switches as
//    blanks do (a scheduler's field, a batch file's line end); inside quotes they stay;
//  - an argument quoted as a whole ("/Path=C:\My Logs", as .NET, Python, PowerShell and
//    Wine quote an argument that holds a blank) becomes the switch with its value quoted
//    (/Path="C:\My Logs"), its backslashes read as Windows' own argument rules read them.
//    One whose value holds a double quote stays as written.
std::string ArgumentTextFromCommandLine(std::string_view command_line);

// The arguments (argv without argv[0]) joined by single spaces. An argument holding a
// blank gets its value, the part after the first "=", wrapped in double quotes (the whole
// argument when it has no "="), unless that part already starts with a double quote.
std::string ArgumentTextFromArguments(const std::vector<std::string>& arguments);

// The value that `arguments` give the switch `key`: the rest of the first argument that
// starts with `key` and "=" (key case ignored), without one pair of double quotes that
// encloses all of it; nullopt when no argument starts so. This is what the caller meant,
// to hold against what the lookup reads from the rebuilt text.
std::optional<std::string> SwitchValueInArguments(const std::vector<std::string>& arguments,
                                                  std::string_view key);

}  // namespace tarnwell
