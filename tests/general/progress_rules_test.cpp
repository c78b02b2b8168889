#include "general/progress_rules.h"

#include <gtest/gtest.h>

#include <string_view>

#include "general/runtime_error.h"

namespace tarnwell {
namespace {

TEST(ProgressRules, TwipsBecomeWholePixelsAtTheWindowsDpi) {
  const struct {
    double twips;
    int dpi;
    Long pixels;
  } cases[] = {
      {5955, 96, 397},  {5415, 96, 361}, {600, 96, 40}, {5955, 120, 496},
      {5415, 144, 542}, {15, 144, 2},    {5, 144, 0},   {0, 96, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
  EXPECT_EQ(PixelsToTwips(397, 96), 5955);
  EXPECT_EQ(PixelsToTwips(2, 120), 24);
}

TEST(ProgressRules, WidthRuleKeepsTheBorderAllowanceAndAddsTheMargin) {
  // A client area of 5400 twips in a frame 30 twips wider.
  EXPECT_EQ(OuterWidthForRightEdge(5400, 5430, 5835), 5985);  // Cancel's right edge
  EXPECT_EQ(OuterWidthForRightEdge(5400, 5430, 5295), 5445);  // the bar's right edge
  EXPECT_EQ(OuterWidthForRightEdge(5955, 5955, 5295), 5415);  // a frameless window
}

TEST(ProgressRules, ProgressIsLimitedToTheRoundedRange) {
  const struct {
    Integer value;
    double minimum, maximum;
    Long shown;
  } cases[] = {
      {37, 0, 100, 37}, {150, 0, 100, 100}, {-5, 0, 100, 0},  {5, 10, 20, 10}, {25, 10, 20, 20},
      {0, 0.5, 1.5, 0}, {3, 0.5, 2.5, 2},   {-1, -0.5, 9, 0}, {5, 10, 3, 3},  // reversed ends: the
                                                                              // upper one wins
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClampProgress(c.value, c.minimum, c.maximum), c.shown)
        << c.value << " in " << c.minimum << ".." << c.maximum;
  }
  EXPECT_THROW(ClampProgress(1, 0, 3e9), RuntimeError);
}

TEST(ProgressRules, TextReadsAsProgress) {
  const struct {
    std::string_view text;
    Integer progress;
  } cases[] = {
      {"42", 42}, {"7 5", 75}, {"12.5", 12}, {"13.5", 14},       {"&H20", 32},
      {"abc", 0}, {"", 0},     {"250", 250}, {"-32768", -32768}, {"32767.4", 32767},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgressFromText(c.text), c.progress) << c.text;

  for (std::string_view text : {"40000", "32767.5", "-32769"}) {
    try {
      ProgressFromText(text);
      ADD_FAILURE() << text << " raised no error";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.Number(), kOverflow) << text;
    }
  }
}

TEST(ProgressRules, ControlUnitsSaturateInsteadOfRaising) {
  EXPECT_EQ(ControlUnits(2.5), 2);
  EXPECT_EQ(ControlUnits(-7.5), -8);
  EXPECT_EQ(ControlUnits(1e12), 2147483647);
  EXPECT_EQ(ControlUnits(-1e12), -2147483647 - 1);
}

}  // namespace
}  // namespace tarnwell
