// Runs the built program as a user would and reports what it showed: the one seam between
// the shared black-box cases and the target that runs them.
#pragma once

#include <string>
#include <vector>

namespace tarnwell::e2e {

struct RunResult {
  int exit_code = -1;
  std::vector<std::string> messages;  // usage or count: stdout lines / information boxes
  std::vector<std::string> errors;    // run-time errors: stderr lines / error boxes
};

// Starts the program with `arguments`, as a shell would pass them (an argument may hold
// blanks), answers every message box with OK and waits for the end.
RunResult RunTarnwell(const std::vector<std::string>& arguments);

}  // namespace tarnwell::e2e
