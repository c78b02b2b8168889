// The Linux runner with more control than RunTarnwell, for the runs that need it.
#pragma once

#include <functional>
#include <string>

#include "tests/e2e/e2e.h"

namespace tarnwell::e2e {

// RunTarnwell with `registry` as the registry file; `in_child` runs in the new process
// just before the program starts (to set limits or redirect its output).
RunResult RunTarnwellWith(const Lines& arguments, const std::string& registry,
                          const std::function<void()>& in_child);

}  // namespace tarnwell::e2e
