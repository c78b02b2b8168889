#include "general/progress_rules.h"

#include <gtest/gtest.h>

#include <string_view>
#include <tuple>

#include "general/runtime_error.h"

namespace tarnwell {
namespace {

TEST(ProgressRules, PixelsAndTheWidthRule) {
  const std::tuple<double, int, Long> cases[] = {{5955, 96, 397},  {5415, 96, 361},
                                                 {5955, 120, 496}, {5415, 144, 542},
                                                 {15, 144, 2},     {5, 144, 0}};
  for (auto [twips, dpi, pixels] : cases) EXPECT_EQ(TwipsToPixels(twips, dpi), pixels) << twips;
  EXPECT_EQ(PixelsToTwips(2, 120), 24);
  EXPECT_EQ(OuterWidthForRightEdge(5400, 5430, 5835), 5985);  // a frame 30 twips wider
  EXPECT_EQ(OuterWidthForRightEdge(5955, 5955, 5295), 5415);  // no frame
}

TEST(ProgressRules, ProgressIsLimitedToTheRoundedRange) {
  const std::tuple<Integer, double, double, Long> cases[] = {
      {150, 0, 100, 100}, {-5, 0, 100, 0},  {5, 10, 20, 10}, {25, 10, 20, 20}, {0, 0.5, 1.5, 0},
      {3, 0.5, 2.5, 2},   {-1, -0.5, 9, 0}, {5, 10, 3, 3}};  // reversed: upper wins
  for (auto [value, low, high, shown] : cases) EXPECT_EQ(ClampProgress(value, low, high), shown);
  EXPECT_THROW(ClampProgress(1, 0, 3e9), RuntimeError);
  for (auto [value, units] : {std::pair{2.5, 2}, {-7.5, -8}, {1e12, INT32_MAX}, {-1e12, INT32_MIN}})
    EXPECT_EQ(ControlUnits(value), units) << value;  // saturates instead of raising
}

TEST(ProgressRules, TextReadsAsProgress) {
  const std::pair<std::string_view, Integer> cases[] = {
      {"7 5", 75}, {"12.5", 12}, {"13.5", 14},       {"&H20", 32},
      {"abc", 0},  {"250", 250}, {"-32768", -32768}, {"32767.4", 32767}};
  for (auto [text, progress] : cases) EXPECT_EQ(ProgressFromText(text), progress) << text;
  for (auto text : {"40000", "32767.5", "-32769"})
    EXPECT_THROW(ProgressFromText(text), RuntimeError) << text;
}

}  // namespace
}  // namespace tarnwell
