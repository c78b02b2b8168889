#include "platform/two_digit_year.h"

#include <gtest/gtest.h>

#include "general/date_expression.h"

namespace tarnwell {
namespace {

TEST(TwoDigitYearWindow, IsTheReferenceWindow) {
  EXPECT_EQ(platform::TwoDigitYearMax(), 2029);
  EXPECT_EQ(EvaluateDateExpression("0029-12-31").DaySerial, 47483);
  EXPECT_EQ(EvaluateDateExpression("0030-01-01").DaySerial, 10959);
}

}  // namespace
}  // namespace tarnwell
