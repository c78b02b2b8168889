// Storing a double-precision result in a single, as the date arithmetic does at each step.
#pragma once

#include <cmath>
#include <limits>

#include "general/runtime_error.h"

namespace tarnwell {

// `value` rounded to the nearest single. Overflow (error 6) when it lies beyond the
// single's range or is not a number.
inline float ToSingle(double value) {
  const float single = static_cast<float>(value);
  if (!std::isfinite(single)) RaiseError(kOverflow);
  return single;
}

}  // namespace tarnwell
