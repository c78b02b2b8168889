#include "ui/progress_rules.h"

#include <algorithm>
#include <limits>

namespace tarnwell {

Long TwipsToPixels(double twips, int dpi) { return ToLong(twips * dpi / kTwipsPerInch); }

float PixelsToTwips(Long pixels, int dpi) {
  return static_cast<float>(static_cast<double>(pixels) * kTwipsPerInch / dpi);
}

float OuterWidthForRightEdge(float inner_width, float outer_width, float right_edge) {
  const float border_allowance = outer_width - inner_width;
  return border_allowance + right_edge + kRightMarginTwips;
}

Long ClampProgress(Integer value, double minimum, double maximum) {
  return ClampLong(value, ToLong(minimum), ToLong(maximum));
}

Integer ProgressFromText(std::string_view text) { return ToInteger(ReadNumber(text)); }

Long ControlUnits(double value) {
  constexpr double kLow = std::numeric_limits<Long>::min();
  constexpr double kHigh = std::numeric_limits<Long>::max();
  if (!(value > kLow)) return std::numeric_limits<Long>::min();  // also NaN
  return static_cast<Long>(std::min(RoundHalfEven(value), kHigh));
}

}  // namespace tarnwell
