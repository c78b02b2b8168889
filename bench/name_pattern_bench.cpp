// What a /Names pattern costs per listed name against the default shape's direct reading
// of stem.YYYYMMDD.log, on the names a sweep meets most: its own logs, and others.
#include <benchmark/benchmark.h>

#include <string>

#include "general/log_age.h"
#include "general/name_pattern.h"

namespace tarnwell {
namespace {

constexpr DateStamp kToday{46000, 51600};

std::string Times(int count, std::string_view text) {
  std::string times;
  for (int i = 0; i < count; ++i) times += text;
  return times;
}

std::vector<NamePattern> Patterns(std::string_view value) {
  std::string reason;
  return ParseNamePatterns(value, &reason).value();
}

void DirectReading(benchmark::State& state, const char* name) {
  const AgeLimit limit(7, kToday, 2029);
  for (auto _ : state) benchmark::DoNotOptimize(limit.LogDate(name));
}
BENCHMARK_CAPTURE(DirectReading, log, "trace12345.20140804.log");
BENCHMARK_CAPTURE(DirectReading, other, "trace12345.txt");

void Pattern(benchmark::State& state, std::string value, std::string name) {
  const std::vector<NamePattern> patterns = Patterns(value);
  for (auto _ : state) benchmark::DoNotOptimize(MatchName(patterns, name, 2029));
}
BENCHMARK_CAPTURE(Pattern, log, "*.{yyyyMMdd}.log", "trace12345.20140804.log");
BENCHMARK_CAPTURE(Pattern, other, "*.{yyyyMMdd}.log", "trace12345.txt");
BENCHMARK_CAPTURE(Pattern, iis, "u_ex{yyMMdd}.log|u_ex{yyMMddHH}.log", "u_ex14080412.log");
BENCHMARK_CAPTURE(Pattern, both_sides, "*.{yyyy-MM-dd}.*.log", "app.node1.2014-08-04.17.log");
// Among the slowest a pattern can be: stars on both sides of the field, each to be placed
// in a name of the longest kind, and every place between tried for a date.
BENCHMARK_CAPTURE(Pattern, many_stars, Times(60, "*a") + "{yyyyMMdd}" + Times(60, "*a") + "b",
                  std::string(700, 'a') + "20140804" + std::string(56, 'a') + "b");

}  // namespace
}  // namespace tarnwell
