#include "general/numbers.h"

#include <gtest/gtest.h>

#include <string_view>

#include "general/runtime_error.h"

namespace tarnwell {
namespace {

void ExpectOverflow(auto&& action) {
  try {
    action();
    ADD_FAILURE() << "no error raised";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Number(), 6);
    EXPECT_EQ(error.Description(), "Overflow");
  }
}

TEST(ReadNumber, ReadsTheLongestLeadingNumber) {
  const struct {
    std::string_view text;
    double expected;
  } cases[] = {
      // clang-format off
      {"42", 42}, {"7 5", 75}, {" \t\n-\t3", -3}, {"+8", 8}, {"12.5", 12.5}, {"1.2.3", 1.2},
      {".5", 0.5}, {"5.", 5}, {"7days", 7}, {"1e3", 1000}, {"2D2", 200}, {"1E-2", 0.01},
      {"1e", 1}, {"3e+x", 3}, {"&H20", 32}, {"&h1f", 31}, {"&O17", 15}, {"&o8", 0},
      {"&HFFFFFFFF", -1}, {"&H80000000", -2147483648.0}, {"&H7FFFFFFF", 2147483647},
      {"&H000000001", 1}, {"&", 0}, {"&Hxyz", 0}, {"abc", 0}, {"", 0}, {".", 0}, {"-", 0},
      {"+-5", 0}, {"\r5", 0}, {"1e-400", 0}, {std::string_view("5\0" "6", 3), 5},
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(ReadNumber(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(ReadNumber, RaisesOverflowBeyondItsRanges) {
  ExpectOverflow([] { ReadNumber("1e309"); });
  ExpectOverflow([] { ReadNumber("-9e99999999999"); });
  ExpectOverflow([] { ReadNumber("&H100000000"); });
  ExpectOverflow([] { ReadNumber("&O40000000000"); });
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  const struct {
    double value;
    Long expected;
  } cases[] = {
      // clang-format off
      {0.5, 0}, {0.6, 1}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
      {2147483647.4, 2147483647}, {-2147483648.5, -2147483648},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(ToLong(c.value), c.expected) << c.value;
}

TEST(Rounding, OverflowAtTheEdgesOfEachType) {
  ExpectOverflow([] { ToLong(2147483647.5); });
  ExpectOverflow([] { ToLong(-2147483648.51); });
  ExpectOverflow([] { ToLong(99999999999.0); });
  ExpectOverflow([] { ToInteger(32767.5); });
  ExpectOverflow([] { ToInteger(-32768.6); });
  ExpectOverflow([] { AddLong(2147483647, 1); });
  ExpectOverflow([] { AddLong(-2147483647 - 1, -1); });
  EXPECT_EQ(ToInteger(-32768.5), -32768);
  EXPECT_EQ(AddLong(2147483646, 1), 2147483647);
}

TEST(IntegerFunctions, MinMaxAndClamp) {
  EXPECT_EQ(MinLong(4, 4), 4);
  EXPECT_EQ(MaxLong(-1, 3), 3);
  EXPECT_EQ(ClampLong(5, 10, 3), 3);  // the upper limit wins when the limits cross
  EXPECT_EQ(ClampLong(7, 3, 10), 7);
  EXPECT_EQ(ClampLong(-5, 0, 100), 0);
  EXPECT_EQ(ClampLong(150, 0, 100), 100);
}

}  // namespace
}  // namespace tarnwell
