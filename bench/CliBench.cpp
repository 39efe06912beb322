// The whole command-line run, as a user starts it: brennic-sim --summary on
// a 48-hour night at 1 s steps (172,801 reports of 50 elements). Each
// iteration starts the program. With BRENNIC_SIM_BEFORE naming another
// build's brennic-sim, the same cases run on it too, for a before-and-after
// in one run (options that build does not know are left out for it; they
// only restore its physics).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

using TArgs = std::vector<std::string>;

void RunSim(benchmark::State& state, const std::string& program, TArgs args)
{
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("brennic-sim could not be started");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("brennic-sim failed");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
}

struct TCase {
    const char* name;
    TArgs both;      // for either build
    TArgs thisOnly;  // options the earlier build did not have, keeping the physics alike
    bool earlier = true;  // whether the earlier build can run it at all
};

const TArgs Night{"--summary", "--duration", "2880", "--time-step", "1"};

TArgs Join(TArgs a, const TArgs& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const TCase Cases[] = {
    {"Typed", Night, {}},
    {"ConditionsClassic", Join(Night, {"--films", "conditions"}), {"--radiation", "classic"}},
    {"ConditionsClearSky", Join(Night, {"--films", "conditions", "--sky", "clear", "--dew-point", "0"}),
     {"--edge", "insulated", "--back-radiation", "0"}},
    {"ConditionsPhysicalWithFan",
     Join(Night, {"--films", "conditions", "--sky", "clear", "--dew-point", "0", "--diameter", "400", "--back-fan",
                  "80,2.5,180"}),
     {},
     false},
};

}  // namespace

int main(int argc, char** argv)
{
    const char* before = std::getenv("BRENNIC_SIM_BEFORE");
    for (const TCase& c : Cases) {
        benchmark::RegisterBenchmark((std::string("Summary") + c.name).c_str(),
                                     [c](benchmark::State& s) { RunSim(s, BRENNIC_SIM, Join(c.both, c.thisOnly)); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
        if (before && c.earlier)
            benchmark::RegisterBenchmark((std::string("Summary") + c.name + "Before").c_str(),
                                         [c, before](benchmark::State& s) { RunSim(s, before, c.both); })
                ->Unit(benchmark::kMillisecond)
                ->Iterations(5);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
