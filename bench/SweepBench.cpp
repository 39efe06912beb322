// Sweeps of a 12-hour night (50 elements, 10 s steps) on one and two
// threads, per case, against one single run of the same night.
#include "app/core/run/Engine.h"
#include "app/core/run/Sweep.h"

#include <benchmark/benchmark.h>

using namespace brennic;

namespace {

TRequestSource Night()
{
    TRequestSource s;
    s.Naming = TFieldNaming::Option;
    s.Use = TMemoryUse::Streams;
    s.Texts.Text(fDuration) = u"720";
    s.Texts.Text(fFinalAirTemp) = u"2";
    return s;
}

}  // namespace

// One run of the night with its readiness, as one sweep case does.
static void BM_SingleNight(benchmark::State& state)
{
    const TRunRequest request = BuildRunRequest(Night());
    for (auto _ : state) {
        TReadiness r(request.Tolerances);
        RunEngine(request, [&](std::span<const double>, std::span<const double> t, double time) {
            r.Add(StepValues(t, time));
        });
        benchmark::DoNotOptimize(r.Reports());
    }
}
BENCHMARK(BM_SingleNight)->Unit(benchmark::kMillisecond)->MinTime(2);

// 1000 cases: 40 thicknesses by 25 front film coefficients.
static void BM_Sweep1000(benchmark::State& state)
{
    const TSweepPlan plan = PlanSweep(Night(), {ParseSweep("thickness=10:88:2"), ParseSweep("front-film=2:26:1")});
    for (auto _ : state) benchmark::DoNotOptimize(RunSweep(plan, unsigned(state.range(0))).size());
    state.counters["cases"] = double(plan.Cases);
    state.counters["ms_per_case"] = benchmark::Counter(double(plan.Cases) * 1e-3,
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
}
BENCHMARK(BM_Sweep1000)->Arg(1)->Arg(2)->ArgName("jobs")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

BENCHMARK_MAIN();
