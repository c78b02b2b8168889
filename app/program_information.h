// What the Linux program answers to --help and --version, and how it refuses a command
// line read the GNU way: on standard output and standard error, as GNU tools do.
#pragma once

#include <string>

namespace tarnwell {

// Both ways of writing a command line, the GNU way first, then the usage message and the
// Windows-style switches; on standard output.
void PrintHelp();

// The program's name and version, on standard output.
void PrintVersion();

// "tarnwell: `why`" and the pointer to --help, on standard error.
void PrintGnuRefusal(const std::string& why);

}  // namespace tarnwell
