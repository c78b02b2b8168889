// The process's argument text: the command line after the program's own name, as the
// switch lookup expects it (values with blanks in double quotes). Windows hands a program
// its command line whole; POSIX hands it an argument vector, from which the text is rebuilt.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

// `command_line` (as GetCommandLineW gives it, in UTF-8) without the program's own name,
// quoted or not, and without the spaces around what is left.
std::string ArgumentTextFromCommandLine(std::string_view command_line);

// The arguments (argv without argv[0]) joined by single spaces. An argument holding a
// blank gets its value, the part after the first "=", wrapped in double quotes (the whole
// argument when it has no "="), unless that part already starts with a double quote.
std::string ArgumentTextFromArguments(const std::vector<std::string>& arguments);

}  // namespace tarnwell
