// What the folder sweep pays per candidate file: one date expression, clock read included.
#include <benchmark/benchmark.h>

#include "general/date_expression.h"
#include "general/date_stamp.h"
#include "platform/local_clock.h"

namespace tarnwell {
namespace {

void EvaluateWithClock(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(EvaluateDateExpression("2014-08-04"));
}
BENCHMARK(EvaluateWithClock);

void EvaluateFromStamp(benchmark::State& state) {
  const DateStamp start{45000, 51600};
  for (auto _ : state) {
    benchmark::DoNotOptimize(EvaluateDateExpressionFrom("2014-08-04", start, 2029));
  }
}
BENCHMARK(EvaluateFromStamp);

void ReadClock(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(platform::ReadLocalClock());
}
BENCHMARK(ReadClock);

void CurrentStampAlone(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CurrentStamp(false));
}
BENCHMARK(CurrentStampAlone);

}  // namespace
}  // namespace tarnwell
