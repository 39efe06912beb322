// Reading a large table of air temperatures, and a night driven by a series
// against the same night on the linear ramp.
#include "app/core/tables/AirSource.h"
#include "app/core/tables/TimeSeries.h"
#include "bench/ReferenceMirror.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

using namespace brennic;

namespace {

// A logger's export: one row a second with clock times, air and dew point.
std::string LoggerTable(std::size_t rows)
{
    std::string text = "time;air (\u00b0C);dew point (\u00b0C)\r\n";
    text.reserve(rows * 40);
    char line[80];
    for (std::size_t i = 0; i < rows; ++i) {
        const long s = long(i);
        std::snprintf(line, sizeof line, "2026-12-%02ld %02ld:%02ld:%02ld;%.2f;%.2f\r\n", 8 + s / 86400,
                      (s / 3600) % 24, (s / 60) % 60, s % 60, 10 - 1e-5 * double(i), 4 + 1e-6 * double(i));
        for (char* c = line; *c; ++c)
            if (*c == '.')
                *c = ',';
        text += line;
    }
    return text;
}

// A station's export: day-first dates and times in two columns, tab
// separated, a text column that is never read, °F.
std::string StationTable(std::size_t rows)
{
    std::string text = "Date\tTime\tTemp Out (\u00b0F)\tWind Dir\tDew Pt. (\u00b0F)\r\n";
    text.reserve(rows * 40);
    char line[80];
    for (std::size_t i = 0; i < rows; ++i) {
        const long s = long(i);
        std::snprintf(line, sizeof line, "%02ld/12/26\t%02ld:%02ld:%02ld\t%.2f\tWSW\t%.2f\r\n", 13 + s / 86400,
                      (s / 3600) % 24, (s / 60) % 60, s % 60, 50 - 1e-5 * double(i), 39 + 1e-6 * double(i));
        text += line;
    }
    return text;
}

TBrennicOneD Night()
{
    return ReferenceMirror(50, 12 * 3600, 2);
}

}  // namespace

// Reads a table of a million rows again and again.
static void ReadTable(benchmark::State& state, const std::string& text, const std::string& name)
{
    for (auto _ : state) {
        const TTimeTable t = ParseTimeTable(text, name);
        benchmark::DoNotOptimize(t.Times.data());
    }
    state.counters["rows_per_s"] = benchmark::Counter(1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB"] = double(text.size()) / 1e6;
}

static void BM_ReadMillionRows(benchmark::State& state)
{
    ReadTable(state, LoggerTable(1'000'000), "logger.csv");
}
BENCHMARK(BM_ReadMillionRows)->Unit(benchmark::kMillisecond)->Iterations(3);

static void BM_ReadMillionStationRows(benchmark::State& state)
{
    ReadTable(state, StationTable(1'000'000), "Download.txt");
}
BENCHMARK(BM_ReadMillionStationRows)->Unit(benchmark::kMillisecond)->Iterations(3);

// A 12-hour night at 10 s steps: the ramp, then a series sampled each minute.
static void BM_TwelveHourNight(benchmark::State& state)
{
    TBrennicOneD s = Night();
    std::string text = "minutes,air\n";
    for (int m = 0; m <= 12 * 60; ++m) text += std::to_string(m) + "," + std::to_string(10 - m / 90.0) + "\n";
    const TTimeTable table = ParseTimeTable(text, "minutes.csv");
    const TSeries series(table, 1, 0);
    if (state.range(0) == 1)
        s.AirTemperature = [&series](double t) { return series.At(t); };
    for (auto _ : state) s.Execute();
    state.counters["steps_per_s"] = benchmark::Counter(4320, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_TwelveHourNight)->Arg(0)->Arg(1)->ArgName("series")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
