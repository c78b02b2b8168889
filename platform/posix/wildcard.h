// The folder listing's name filter, apart so that it can be tried on any text.
#pragma once

#include <string_view>

namespace tarnwell::platform {

// Whether `name` matches the wildcard `pattern`: "*" any run of characters, "?" exactly
// one (a whole UTF-8 character), any other byte itself with ASCII case ignored. Time grows
// with the product of the two lengths at worst, never exponentially.
bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace tarnwell::platform
