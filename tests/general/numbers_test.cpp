#include "general/numbers.h"

#include <gtest/gtest.h>

#include <limits>
#include <string_view>

#include "base/runtime_error.h"

namespace tarnwell {
namespace {

constexpr double kOverflows = std::numeric_limits<double>::infinity();

// The value, or kOverflows when the function raises Overflow (error 6).
double Result(auto&& function) {
  try {
    return function();
  } catch (const RuntimeError& error) {
    EXPECT_EQ(FormatRuntimeError(error), "Run-time error '6': Overflow");
    return kOverflows;
  }
}

TEST(ReadNumber, ReadsTheLongestLeadingNumberAndOverflowsBeyondItsRanges) {
  const struct {
    std::string_view text;
    double value;
  } rows[] = {
      {"1.2.3", 1.2},
      {"2D2", 200},
      {"3e+x", 3},
      {"&h1f", 31},
      {"&O17", 15},
      {"&HFFFFFFFF", -1},
      {"&H000000001", 1},
      {"&Hxyz", 0},
      {"\r5", 0},
      {"1e-400", 0},
      {std::string_view("5\0006", 3), 5},
      {"1e309", kOverflows},
      {"&H100000000", kOverflows},
      {"&O40000000000", kOverflows},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Result([&] { return ReadNumber(row.text); }), row.value) << '"' << row.text << '"';
}

TEST(Rounding, HalvesGoToTheEvenNeighbourAndOverflowAtTheEdgesOfEachType) {
  const struct {
    double value, as_long, as_integer;
  } rows[] = {
      {0.5, 0, 0},
      {1.5, 2, 2},
      {2.5, 2, 2},
      {-2.5, -2, -2},
      {32767.5, 32768, kOverflows},
      {-32768.5, -32768, -32768},
      {-32768.6, -32769, kOverflows},
      {2147483647.4, 2147483647, kOverflows},
      {2147483647.5, kOverflows, kOverflows},
      {-2147483648.5, -2147483648.0, kOverflows},
      {-2147483648.51, kOverflows, kOverflows},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Result([&] { return ToLong(row.value); }), row.as_long) << row.value;
    EXPECT_EQ(Result([&] { return ToInteger(row.value); }), row.as_integer) << row.value;
  }
  EXPECT_EQ(Result([] { return AddLong(2147483647, 1); }), kOverflows);
  EXPECT_EQ(Result([] { return AddLong(-2147483647 - 1, -1); }), kOverflows);
  EXPECT_EQ(ClampLong(5, 10, 3), 3);  // the upper limit is applied last
}

}  // namespace
}  // namespace tarnwell
