// The process's argument text: the command line after the program's own name, as the
// switch lookup expects it (values with blanks in double quotes).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwell::platform {

#ifdef _WIN32
// `command_line` (as GetCommandLineW gives it, in UTF-8) without the program's own name,
// quoted or not, and without the spaces around what is left.
std::string ArgumentTextFromCommandLine(std::string_view command_line);
#else
// The arguments (argv without argv[0]) joined by single spaces. An argument holding a
// blank gets its value, the part after the first "=", wrapped in double quotes (the whole
// argument when it has no "="), unless that part already starts with a double quote.
std::string ArgumentTextFromArguments(const std::vector<std::string>& arguments);
#endif

}  // namespace tarnwell::platform
