// One update of the live prediction on a 6-hour night of one-minute
// readings from two probes and the air (the fit, the night's run and the
// interval's runs), with the default inputs' 10 s step and 50 elements.
#include "app/core/live/LivePrediction.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

using namespace brennic;

namespace {

TLiveTable SixHourNight()
{
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0, 0.05);
    TLiveTable data;
    for (int m = 0; m <= 360; ++m) {
        TLiveRow row;
        row.Time = 1796839200 + 60.0 * m;
        const double air = 10 - 3 * m / 360.0;
        row.Values[lrAir] = air + noise(random);
        row.Values[lrSurface] = air + 8 * std::exp(-m / 80.0) + noise(random);
        row.Values[lrBack] = air + 8 * std::exp(-m / 110.0) + noise(random);
        data.Add(row);
    }
    return data;
}

void LiveUpdate(benchmark::State& state)
{
    const TLiveTable data = SixHourNight();
    TLiveSettings s;
    s.Base.MirrorTempGiven = false;
    s.ToleranceTexts = {"1", "0.5", "0.1"};
    int evaluations = 0;
    for (auto _ : state) {
        const TLiveUpdate u = PredictLive(data, s);
        evaluations = u.Fit ? u.Fit->Evaluations : 0;
        benchmark::DoNotOptimize(u.Ready);
    }
    state.counters["fit_runs"] = evaluations;
}
BENCHMARK(LiveUpdate)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
