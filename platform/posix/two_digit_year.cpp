#include "platform/two_digit_year.h"

namespace tarnwell::platform {

int TwoDigitYearMax() { return 2029; }

}  // namespace tarnwell::platform
