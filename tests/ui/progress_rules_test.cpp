#include "ui/progress_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "base/runtime_error.h"

namespace tarnwell {
namespace {

// The window's own test measures the width rule at the desktop's dpi; other dpis round.
TEST(ProgressRules, TwipsBecomeWholePixelsAndTheWidthRuleKeepsTheFrame) {
  EXPECT_EQ(TwipsToPixels(5955, 120), 496);
  EXPECT_EQ(TwipsToPixels(15, 144), 2);                       // 1.5 pixels: halves to even
  EXPECT_EQ(OuterWidthForRightEdge(5400, 5430, 5835), 5985);  // a frame 30 twips wider
}

TEST(ProgressRules, ProgressIsLimitedToTheRoundedRange) {
  const struct {
    Integer value;
    double minimum, maximum;
    Long shown;
  } rows[] = {{150, 0, 100, 100}, {-5, 0, 100, 0},  {5, 10, 20, 10},
              {25, 10, 20, 20},   {0, 0.5, 1.5, 0}, {3, 0.5, 2.5, 2}};
  for (const auto& row : rows) {
    EXPECT_EQ(ClampProgress(row.value, row.minimum, row.maximum), row.shown) << row.value;
  }
  EXPECT_THROW(ClampProgress(1, 0, 3e9), RuntimeError);
  // The control counts in int: it saturates instead of raising.
  EXPECT_EQ(ControlUnits(2.5), 2);
  EXPECT_EQ(ControlUnits(1e12), INT32_MAX);
  EXPECT_EQ(ControlUnits(-1e12), INT32_MIN);
}

TEST(ProgressRules, TextReadsAsProgressRoundedAndOverflowsBeyondTheIntegerRange) {
  const struct {
    std::string_view text;
    Integer progress;
  } rows[] = {{"7 5", 75}, {"12.5", 12}, {"13.5", 14},       {"&H20", 32},
              {"abc", 0},  {"", 0},      {"-32768", -32768}, {"32767.4", 32767}};
  for (const auto& row : rows) EXPECT_EQ(ProgressFromText(row.text), row.progress) << row.text;
  for (const char* text : {"40000", "32767.5", "-32769"})
    EXPECT_THROW(ProgressFromText(text), RuntimeError) << text;
}

}  // namespace
}  // namespace tarnwell
