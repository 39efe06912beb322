#include "model/FiniteDiff_1D.h"

#include <benchmark/benchmark.h>

// Execute without a handler; the counter reports element-steps per second.
static void BM_Execute(benchmark::State& state)
{
    brennic::TBrennicOneD s;
    s.Thickness = 0.0508;
    s.ElementCount = static_cast<int>(state.range(0));
    s.InitialMirrorTemp = 20;
    s.InitialAirTemp = 10;
    s.FinalAirTemp = 5;
    s.TimeStep = 10;
    s.Duration = 10.0 * static_cast<double>(state.range(1));
    s.FrontFilmCoefficient = 10;
    s.BackFilmCoefficient = 10;
    s.FrontRadiation = 0.04;
    s.Conductivity = 1.13;
    s.Density = 2230;
    s.SpecificHeat = 726;
    for (auto _ : state) s.Execute();
    const double elementSteps = double(state.range(0)) * double(state.range(1));
    state.counters["element_steps_per_s"] =
        benchmark::Counter(elementSteps, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Execute)->Args({50, 20000})->Args({2000, 500})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
