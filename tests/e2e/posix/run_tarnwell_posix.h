// Running the Linux program with a chosen registry file and privileges.
#pragma once

#include <string>
#include <vector>

#include "tests/e2e/run_tarnwell.h"

namespace tarnwell::e2e {

struct PosixRunOptions {
  // TARNWELL_REGISTRY for the run; by default a file that does not exist, so that no run
  // reads the machine's own registry file.
  std::string registry_file = "/nonexistent/tarnwell-e2e/registry.reg";
  // Runs without the capabilities that let root read any folder, so permission bits hold.
  bool without_access_override = false;
};

RunResult RunTarnwell(const std::vector<std::string>& arguments, const PosixRunOptions& options);

// Whether this process may drop those capabilities for a child (false when it lacks them).
bool CanDropAccessOverride();

}  // namespace tarnwell::e2e
