// What the sweep pays to judge one listed name: the direct eight-digit reading against the
// general date-expression route it stands in for.
#include <benchmark/benchmark.h>

#include "general/log_age.h"

namespace tarnwell {
namespace {

constexpr DateStamp kToday{46000, 51600};
constexpr char kName[] = "trace12345.20140804.log";

void DirectReading(benchmark::State& state) {
  const AgeLimit limit(7, kToday, 2029);
  for (auto _ : state) benchmark::DoNotOptimize(limit.IsOlder(kName));
}
BENCHMARK(DirectReading);

void DateExpressionRoute(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(IsOlderByExpression(kName, 7, kToday, 2029));
}
BENCHMARK(DateExpressionRoute);

}  // namespace
}  // namespace tarnwell
