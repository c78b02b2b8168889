// What one deleting thread costs beside its work: starting it and joining it again, the
// floor under the number of entries a batch gives each thread (app/batch_deletion.cpp).
#include <benchmark/benchmark.h>

#include <thread>

namespace {

void StartAndJoin(benchmark::State& state) {
  for (auto _ : state) std::jthread([] {}).join();
}
BENCHMARK(StartAndJoin)->UseRealTime();

}  // namespace
