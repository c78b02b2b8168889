// Short date expressions ("2014-08-04", "nowday-1T06:00") evaluated into a stamp.
#pragma once

#include <string>
#include <string_view>

#include "general/date_stamp.h"

namespace tarnwell {

// Evaluates `Expression` starting from the current moment (the clock is read once).
DateStamp EvaluateDateExpression(std::string Expression);

}  // namespace tarnwell
