// Fitting two film coefficients to a 12-hour log sampled each minute, with
// the model at 10 s steps and 50 elements.
#include "app/core/fit/Fit.h"
#include "app/core/tables/MeasuredLog.h"
#include "bench/ReferenceMirror.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace brennic;

static void BM_FitTwoFilms(benchmark::State& state)
{
    TBrennicOneD truth = ReferenceMirror(50, 12 * 3600, 2);
    truth.InitialAirTemp = 12;
    truth.FrontFilmCoefficient = 17.5;
    truth.BackFilmCoefficient = 6.2;
    auto log = std::make_shared<TMeasuredLog>();
    for (const TStepValues& v : RunReports(truth))
        if (std::fmod(v.Time, 60) == 0) {
            log->Surface.push_back({v.Time, v.Surface});
            log->Back.push_back({v.Time, v.Back});
        }
    TBrennicOneD start = truth;
    start.FrontFilmCoefficient = 10;
    start.BackFilmCoefficient = 10;
    int evaluations = 0;
    double front = 0;
    for (auto _ : state) {
        const TFitResult r = FitToLog(SolverRequest(start, log), {TFitParameter::FrontFilm, TFitParameter::BackFilm});
        evaluations = r.Evaluations;
        front = r.Values[0];
    }
    state.counters["model_runs"] = evaluations;
    state.counters["front_film"] = front;
}
BENCHMARK(BM_FitTwoFilms)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
