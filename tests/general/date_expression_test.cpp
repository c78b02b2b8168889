#include "general/date_expression.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "general/runtime_error.h"

namespace tarnwell {
namespace {

constexpr DateStamp k1420{45000, 51600};  // 14:20:00 on an even day
constexpr DateStamp k2010{45000, 72600};  // 20:10:00

struct Case {
  std::string expression;
  DateStamp expected;
  DateStamp start = k1420;
};

void ExpectEvaluations(const std::vector<Case>& cases, int window = 2029) {
  for (const Case& c : cases) {
    const DateStamp result = EvaluateDateExpressionFrom(c.expression, c.start, window);
    EXPECT_EQ(result.DaySerial, c.expected.DaySerial) << '"' << c.expression << '"';
    EXPECT_EQ(result.Seconds, c.expected.Seconds) << '"' << c.expression << '"';
  }
}

TEST(EvaluateDateExpression, DatesAndTimesOfDay) {
  ExpectEvaluations({
      {"", k1420},
      {"2014-08-04", {41855, 51600}},  // the time of day stays
      {"2014-08-04T12:00", {41855, 43200}},
      {"2014-08-04T12:00:30", {41855, 43230}},
      {"  2014-08-04  ", {41855, 51600}},
      {"\t2014-08-04", k1420},  // only spaces are trimmed
      {"2014-8-4", k1420},
      {"2014/08/04", k1420},
      {"2014-08-04T12:00:00Z", {41855, 51600}},  // nine characters: not a time
      {"2014-02-30", {41700, 51600}},
      {"2014-13-01", {42005, 51600}},
      {"2014-00-00", {41608, 51600}},
      {"24:00", {45000, 86400}},  // 24:00 and above stay on the same day
      {"25:00", {45000, 90000}},
      {"99:99:99", {45000, 362439}},
      {"12:5", k1420},
      {"7:05", k1420},
  });
}

TEST(EvaluateDateExpression, SeparatorsAndTokenOrder) {
  ExpectEvaluations({
      {"T", k1420},
      {"TT", k1420},
      {"2014-08-04t12:00", k1420},         // a lower-case t does not separate
      {"nowday-1t06:00", {44999, 51600}},  // the number stops at the t
      {"nowday-1T06:00", {44999, 21600}},
      {"2014-08-04Tnowday-1", {41854, 51600}},
      {"nowday+1Tnowday+1", {45002, 51600}},
      {"06:00Tnowhour+1", {45000, 25200}},
      {"nowday12:00", {45012, 51600}},  // a keyword comes before the patterns
  });
}

TEST(EvaluateDateExpression, DayAndHourOffsets) {
  ExpectEvaluations({
      {"nowday-1", {44999, 51600}},
      {" NowDay - 1 ", {44999, 51600}},
      {"nowdays", k1420},
      {"nowday+0.5", k1420},  // halves go to the even day
      {"nowday+0.5", {45002, 51600}, {45001, 51600}},
      {"nowday + 1.5", {45002, 51600}},
      {"nowhour", {45000, 50400}},
      {"nowhour-1", {45000, 46800}},
      {"nowhour-15", {44999, 82800}},         // 23:00 yesterday
      {"nowhour+10", {45001, 21600}, k2010},  // 06:00 tomorrow
      {"nowhour+0.5", {45000, 52200}},
      {"nowhour+5900", {45246, 36000}},
      {"nowhour+1", {45001, 7200}, {45000, 90000}},  // from a time of 25:00
  });
}

TEST(EvaluateDateExpression, TwoDigitYearsFollowTheWindow) {
  ExpectEvaluations({{"0014-08-04", {41855, 51600}},
                     {"0029-01-01", {47119, 51600}},
                     {"0030-01-01", {10959, 51600}},
                     {"0100-01-01", {-657434, 51600}}},  // three digits: a year as it stands
                    2029);
  ExpectEvaluations({{"0030-01-01", {47484, 51600}},
                     {"0049-12-31", {54788, 51600}},
                     {"0050-01-01", {18264, 51600}}},
                    2049);
}

TEST(EvaluateDateExpression, Failures) {
  const struct {
    std::string expression;
    int error;
  } cases[] = {
      {"9999-12-32", kInvalidProcedureCall},
      {"0100-01-00", kInvalidProcedureCall},
      {"nowday+99999999999", kOverflow},
      {"nowday+2147438648", kOverflow},  // one day beyond the Long range
      {"nowhour+10000", kOverflow},
      {"nowhour-6000", kOverflow},
      {"nowhour+1e40", kOverflow},           // beyond the single range
      {std::string(32767, 'T'), kOverflow},  // 32,768 tokens
  };
  for (const auto& c : cases) {
    try {
      EvaluateDateExpressionFrom(c.expression, k1420, 2029);
      ADD_FAILURE() << '"' << c.expression.substr(0, 20) << "\" succeeded";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.Number(), c.error) << '"' << c.expression.substr(0, 20) << '"';
    }
  }
  EXPECT_NO_THROW(EvaluateDateExpressionFrom(std::string(32766, 'T'), k1420, 2029));
}

TEST(EvaluateDateExpression, StartsFromTheClock) {
  const DateStamp fixed = EvaluateDateExpression("2014-08-04T12:00");
  EXPECT_EQ(fixed.DaySerial, 41855);
  EXPECT_EQ(fixed.Seconds, 43200);

  const Long before = CurrentStamp(false).DaySerial;
  const Long yesterday = EvaluateDateExpression("nowday-1").DaySerial;
  const Long after = CurrentStamp(false).DaySerial;
  EXPECT_TRUE(yesterday == before - 1 || yesterday == after - 1) << yesterday;
}

}  // namespace
}  // namespace tarnwell
