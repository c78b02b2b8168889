// The progress window's arithmetic on every target; the window itself is tested under Wine.
#include "ui/progress_rules.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "base/runtime_error.h"

namespace tarnwell {
namespace {

TEST(ProgressRules, ProgressIsLimitedToTheRoundedRange) {
  const struct {
    Integer value;
    double minimum, maximum;
    Long shown;
  } rows[] = {{150, 0, 100, 100}, {-5, 0, 100, 0}, {0, 0.5, 1.5, 0}, {3, 0.5, 2.5, 2}};
  for (const auto& row : rows) {
    EXPECT_EQ(ClampProgress(row.value, row.minimum, row.maximum), row.shown) << row.value;
  }
  EXPECT_THROW(ClampProgress(1, 0, 3e9), RuntimeError);
  EXPECT_EQ(ControlUnits(1e12), INT32_MAX);  // the control counts in int: it saturates
  EXPECT_EQ(TwipsToPixels(15, 144), 2);      // 1.5 pixels: halves to even
}

TEST(ProgressRules, TextReadsAsProgressRoundedAndOverflowsBeyondTheIntegerRange) {
  const struct {
    const char* text;
    Integer progress;
  } rows[] = {{"7 5", 75},  {"12.5", 12}, {"13.5", 14},
              {"&H20", 32}, {"abc", 0},   {"-32768", -32768}};
  for (const auto& row : rows) EXPECT_EQ(ProgressFromText(row.text), row.progress) << row.text;
  for (const char* text : {"32767.5", "-32769"})
    EXPECT_THROW(ProgressFromText(text), RuntimeError) << text;
}

}  // namespace
}  // namespace tarnwell
