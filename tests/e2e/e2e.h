// Runs of the built program as a user would start them, for the black-box tests of both
// targets.
#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "tests/test_folder.h"

namespace tarnwell::e2e {

using Lines = std::vector<std::string>;

struct RunResult {
  int exit_code = -1;
  Lines messages;  // usage or count: stdout lines / information boxes
  Lines errors;    // run-time errors: stderr lines / error boxes
};

// Starts the program with `arguments` as a shell passes them (an argument may hold blanks),
// answers every message box with OK and waits for the end. Defined per target.
RunResult RunTarnwell(const Lines& arguments);

inline Lines Deleted(int count) { return {std::to_string(count) + " Debug files deleted"}; }

}  // namespace tarnwell::e2e
