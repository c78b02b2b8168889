// The progress window's arithmetic on every target; the window itself is tested under Wine.
#include "ui/progress_rules.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "base/runtime_error.h"

namespace tarnwell {
namespace {

// Both ends of the range round half to even (0.5 to 0, 2.5 to 2) before limiting.
TEST(ProgressRules, ProgressIsLimitedToTheRoundedRangeAndTextIsRoundedToAnInteger) {
  // clang-format off
  const struct { Integer value; double minimum, maximum; Long shown; } rows[] = {
      {-5, 0, 100, 0}, {0, 0.5, 1.5, 0}, {3, 0.5, 2.5, 2}};
  // clang-format on
  for (const auto& row : rows)
    EXPECT_EQ(ClampProgress(row.value, row.minimum, row.maximum), row.shown) << row.value;
  EXPECT_THROW(ClampProgress(1, 0, 3e9), RuntimeError);
  EXPECT_EQ(ControlUnits(1e12), INT32_MAX);  // the control counts in int: it saturates
  EXPECT_EQ(ProgressFromText("7 5"), 75);    // read leniently, then rounded
  EXPECT_EQ(ProgressFromText("12.5"), 12);
  EXPECT_THROW(ProgressFromText("32767.5"), RuntimeError);
}

}  // namespace
}  // namespace tarnwell
