// The arithmetic behind the progress window, kept free of any window so that both
// targets can test it: twips and pixels, the width rule, the bar's clamp and the
// reading of progress written as text.
#pragma once

#include <string_view>

#include "general/numbers.h"

namespace tarnwell {

// The window lays itself out in twips: 1440 to the inch, so 15 a pixel at 96 dpi.
inline constexpr int kTwipsPerInch = 1440;

// The empty space the width rule leaves right of the rightmost control, in twips.
inline constexpr float kRightMarginTwips = 120;

// The nearest whole pixel (halves to even) for a length in twips at `dpi`.
Long TwipsToPixels(double twips, int dpi);
float PixelsToTwips(Long pixels, int dpi);

// The outer width that gives the client area `right_edge` plus the margin, keeping the
// frame's border allowance (outer - inner width), whatever frame the window has.
// Single precision throughout.
float OuterWidthForRightEdge(float inner_width, float outer_width, float right_edge);

// The value SetProgress moves the bar to: `value` limited to the bar's range with both
// ends rounded half to even (Overflow when an end lies beyond the Long range). With the
// ends reversed the upper one wins.
Long ClampProgress(Integer value, double minimum, double maximum);

// The progress that text written into the hidden label stands for: its lenient number
// rounded half to even; Overflow (error 6) outside the Integer range. No number is 0.
Integer ProgressFromText(std::string_view text);

// The common-controls bar counts in int only: the nearest one (halves to even),
// saturating at the Long limits instead of raising.
Long ControlUnits(double value);

}  // namespace tarnwell
