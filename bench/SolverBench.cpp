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
BENCHMARK(BM_Execute)->Args({50, 20000})->Args({2, 20000})->Args({2000, 500})->Unit(benchmark::kMillisecond);

// The same with film coefficients computed from the conditions every step
// (a 200 mm mirror at the zenith, a fan on the back) and a clear sky: the
// cost per step of the correlations.
static void BM_ExecuteConditions(benchmark::State& state)
{
    brennic::TBrennicOneD s =
        ReferenceMirror(static_cast<int>(state.range(0)), 10.0 * static_cast<double>(state.range(1)), 5);
    s.ComputedFilms = true;
    s.Diameter = 0.2;
    s.Altitude = 90;
    s.BackAirSpeed = 1.5;
    s.ClearSkyDewPoint = [](double) { return 0.0; };
    for (auto _ : state) s.Execute();
    const double elementSteps = double(state.range(0)) * double(state.range(1));
    state.counters["element_steps_per_s"] =
        benchmark::Counter(elementSteps, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["ns_per_step"] = benchmark::Counter(double(state.range(1)) * 1e-9,
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
}
BENCHMARK(BM_ExecuteConditions)->Args({50, 20000})->Args({2, 20000})->Args({2000, 500})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
