// The Linux command-line conventions --help and --version. They are answered only when
// given alone, so every command line that worked before still means what it meant.
#pragma once

#include <string_view>

namespace tarnwell {

// When `argument` is "--help" or "--version", writes its text to standard output and
// returns true; for anything else writes nothing and returns false.
bool PrintProgramInformation(std::string_view argument);

}  // namespace tarnwell
