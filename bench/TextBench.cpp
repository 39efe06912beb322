#include "app/core/results/ResultText.h"
#include "support/NumberText.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <string>

using namespace brennic;

// The number form, on values like those of a result row.
static void BM_FormatFloat(benchmark::State& state)
{
    const double values[] = {7200, 10, 11.3609739731014, 11.5280251436915, 0.00005, 1.0 / 3, -3.25, 2.5e16};
    std::u16string out;
    for (auto _ : state) {
        for (double v : values) {
            out.clear();
            AppendFloat(out, v, u'.');
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.counters["values_per_s"] =
        benchmark::Counter(double(state.iterations()) * std::size(values), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FormatFloat);

// The command-line tool as a whole process, output discarded; reports the
// peak resident memory of the child.
static void RunCli(benchmark::State& state, std::vector<std::string> args)
{
    long peakKiB = 0;
    for (auto _ : state) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::vector<char*> argv{const_cast<char*>(BRENNIC_SIM)};
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            std::freopen("/dev/null", "w", stdout);
            ::execv(BRENNIC_SIM, argv.data());
            ::_exit(127);
        }
        int status = 0;
        struct rusage usage {};
        ::wait4(pid, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("brennic-sim failed");
        peakKiB = std::max(peakKiB, usage.ru_maxrss);
    }
    state.counters["peak_rss_MiB"] = double(peakKiB) / 1024;
}
BENCHMARK_CAPTURE(RunCli, default_run, {})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(RunCli, million_steps, {"--duration", "10000", "--time-step", "0.6"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(RunCli, hundred_thousand_steps, {"--duration", "1000", "--time-step", "0.6"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

BENCHMARK_MAIN();
