#include "bench/ReferenceMirror.h"

#include <benchmark/benchmark.h>

// Execute without a handler; the counter reports element-steps per second.
static void BM_Execute(benchmark::State& state)
{
    brennic::TBrennicOneD s =
        ReferenceMirror(static_cast<int>(state.range(0)), 10.0 * static_cast<double>(state.range(1)), 5);
    for (auto _ : state) s.Execute();
    const double elementSteps = double(state.range(0)) * double(state.range(1));
    state.counters["element_steps_per_s"] =
        benchmark::Counter(elementSteps, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Execute)->Args({50, 20000})->Args({2000, 500})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
