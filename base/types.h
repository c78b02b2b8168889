// The integer types of the program's rules: Long is 32-bit, Integer 16-bit, both signed.
#pragma once

#include <cstdint>

namespace tarnwell {

using Long = std::int32_t;
using Integer = std::int16_t;

}  // namespace tarnwell
