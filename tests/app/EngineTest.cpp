// The engine's entry point, the run request, the step count and sweeps.
#include "app/core/run/Engine.h"
#include "app/core/run/TimeLeft.h"
#include "app/core/run/RunRecord.h"
#include "app/core/inputs/RunRequest.h"
#include "app/core/run/Sweep.h"
#include "support/LibStandard.h"
#include "tests/app/CliRunner.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <fstream>

#include <sys/resource.h>
#include <unistd.h>

using namespace brennic;

namespace {

TRequestSource Options()
{
    TRequestSource s;
    s.Naming = TFieldNaming::Option;
    s.Use = TMemoryUse::Streams;
    return s;
}

// The readiness of one run through the record, as the command line keeps it.
TReadiness SingleRun(TRequestSource source)
{
    const TRunRequest request = BuildRunRequest(std::move(source));
    TRunRecord record;
    record.StartWithoutRows(request);
    RunEngine(request, [&](std::span<const double> p, std::span<const double> t, double time) { record.Add(p, t, time); });
    return record.Readiness;
}

}  // namespace

TEST(Engine, TimeLeftAtThePaceSoFar)
{
    struct Case {
        const char* name;
        double elapsed, fraction;
        const char* text;  // nullptr: too early to tell
    };
    const Case cases[] = {
        {"a quarter in 10 s", 10, 0.25, "about 30 s left"},
        {"too early by share", 10, 0.01, nullptr},
        {"too early by time", 0.2, 0.5, nullptr},
        {"done", 4, 1, "about 1 s left"},
        {"minutes", 60, 0.2, "about 4 min left"},
        {"hours", 3600, 0.25, "about 3 h 0 min left"},
        {"a fraction beyond the end", 5, 1.5, nullptr},
        {"no fraction", 5, std::nan(""), nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<double> left = SecondsLeft(c.elapsed, c.fraction);
        ASSERT_EQ(left.has_value(), c.text != nullptr) << c.name;
        if (left)
            EXPECT_EQ(TimeLeftText(*left), c.text) << c.name;
    }
}

TEST(Engine, ReportCountFollowsTheSolversClock)
{
    struct Case {
        const char* name;
        double duration, step, reports;
    };
    const Case cases[] = {
        {"default run", 7200, 10, 721},
        {"period not a whole number of steps", 60, 25, 4},
        {"no period", 0, 10, 1},
        // Ten additions of 0.1 give 0.9999999999999999: one more step.
        {"tenths that fall short of the period", 1, 0.1, 12},
        {"a step longer than the period", 5, 10, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReportCount(c.duration, c.step), c.reports) << c.name;
        TBrennicOneD s = SolverRequest({}).Solver;
        s.Thickness = 0.02;
        s.ElementCount = 3;
        s.Conductivity = 1;
        s.Density = 2000;
        s.SpecificHeat = 800;
        s.Duration = c.duration;
        s.TimeStep = c.step;
        EXPECT_EQ(double(RunReports(s).size()), c.reports) << c.name << ": the solver makes as many";
    }
}

TEST(Engine, StopTokenEndsTheRunAfterTheReportInProgress)
{
    TRequestSource source = Options();
    const TRunRequest request = BuildRunRequest(source);
    std::stop_source stop;
    int reports = 0;
    const TRunEnd end = RunEngine(
        request,
        [&](std::span<const double>, std::span<const double>, double) {
            if (++reports == 10)
                stop.request_stop();
        },
        stop.get_token());
    EXPECT_EQ(end, TRunEnd::Stopped);
    EXPECT_EQ(reports, 10);
    EXPECT_EQ(RunEngine(request, {}), TRunEnd::Completed);
}

TEST(RunRequest, MeasuredLogSetsStartAndPeriodUnlessGiven)
{
    auto log = std::make_shared<TMeasuredLog>();
    log->Surface = {{0, 17.25}, {600, 15}, {5400, 11}};
    struct Case {
        const char* name;
        bool mirrorGiven, durationGiven;
        double mirror, seconds;
    };
    const Case cases[] = {{"neither given", false, false, 17.25, 5400},
                          {"start given", true, false, 20, 5400},
                          {"period given", false, true, 17.25, 7200},
                          {"both given", true, true, 20, 7200}};
    for (const Case& c : cases) {
        TRequestSource source = Options();
        source.Log = log;
        source.MirrorTempGiven = c.mirrorGiven;
        source.DurationGiven = c.durationGiven;
        const TRunRequest request = BuildRunRequest(source);
        EXPECT_EQ(request.Solver.InitialMirrorTemp, c.mirror) << c.name;
        EXPECT_EQ(request.Solver.Duration, c.seconds) << c.name;
        EXPECT_EQ(request.Log, log) << c.name;
    }
}

TEST(RunRequest, RefusalsHappenWhileItIsBuilt)
{
    TRequestSource source = Options();
    source.Texts.Text(fThickness) = u"-5";
    EXPECT_THROW(
        {
            try {
                BuildRunRequest(source);
            } catch (const EFieldError& e) {
                EXPECT_STREQ(e.what(), "\"--thickness\" is -5: it must be greater than 0 mm");
                EXPECT_EQ(e.Field, fThickness);
                throw;
            }
        },
        EFieldError);
    source.Texts.Text(fThickness) = u"abc";
    EXPECT_THROW(BuildRunRequest(source), EFieldConvertError);
}

TEST(Sweep, ParsesListsRangesAndMaterials)
{
    struct Case {
        const char* text;
        std::vector<std::string> values;
    };
    const Case cases[] = {
        {"thickness=5,10,20", {"5", "10", "20"}},
        {"thickness=20:50:5", {"20", "25", "30", "35", "40", "45", "50"}},
        {"front-film=0.1:0.3:0.1", {"0.1", "0.2", "0.3"}},
        {"front-film=10:1:-4", {"10", "6", "2"}},
        {"elements=10:35:10", {"10", "20", "30"}},  // 35 is off the grid
        {"material=pyrex,BK7,5", {"0", "2", "5"}},
        {"time-step=7", {"7"}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseSweep(c.text).Values, c.values) << c.text;
    EXPECT_EQ(ParseSweep("material=zerodur").Field, -1);
    EXPECT_EQ(ParseSweep("back-film=1").Field, fBackFilm);
}

TEST(Sweep, BadSweepsAreRefusedNamingKeyAndValue)
{
    struct Case {
        std::vector<std::string> sweeps;
        const char* message;
    };
    const Case cases[] = {
        {{"diameters=5"}, "--sweep 'diameters': no input has this key"},
        {{"thickness"}, "--sweep 'thickness': write KEY=VALUES"},
        {{"thickness="}, "--sweep thickness: the list of values is empty"},
        {{"thickness=5,,6"}, "--sweep thickness=5,,6: an empty value"},
        {{"thickness=1:5:0"}, "--sweep thickness=1:5:0: the step is 0"},
        {{"thickness=5:1:1"}, "--sweep thickness=5:1:1: the step leads away from 1"},
        {{"thickness=1:5"}, "--sweep thickness=1:5: a range is FROM:TO:STEP"},
        {{"thickness=a:5:1"}, "--sweep thickness=a:5:1: 'a' is not a number"},
        {{"thickness=abc"}, "--sweep thickness=abc: not a valid number"},
        {{"elements=2.5"}, "--sweep elements=2.5: not a valid whole number"},
        {{"elements=$a,$14"}, "--sweep elements=$a: not a valid whole number"},
        {{"elements=0x5"}, "--sweep elements=0x5: not a valid whole number"},
        {{"films=typed,fan"}, "--sweep films=fan: not one of"},
        {{"material=unobtainium"}, "--sweep material=unobtainium: not one of the materials"},
        {{"thickness=1:1000000:1"}, "--sweep thickness=1:1000000:1: 1000000 values, more than 100000"},
        {{"thickness=1:400:1", "front-film=1:400:1"}, "--sweep has more than 100000 cases"},
        {{"thickness=5", "thickness=6"}, "--sweep thickness: swept twice"},
        {{"thickness=20,-5"}, "--sweep thickness=-5: \"--thickness\" is -5: it must be greater than 0 mm"},
        {{"front-radiation=0.5,1.5"}, "--sweep front-radiation=1.5: \"--front-radiation\" is 1.5: it must be between"},
    };
    for (const Case& c : cases) {
        try {
            std::vector<TSweepAxis> axes;
            for (const std::string& s : c.sweeps) axes.push_back(ParseSweep(s));
            PlanSweep(Options(), axes);
            ADD_FAILURE() << c.message << ": accepted";
        } catch (const EBrennicError& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, std::strlen(c.message)), c.message);
        }
    }
}

TEST(Sweep, RowsEqualSingleRunsForAnyNumberOfJobs)
{
    TRequestSource base = Options();
    base.Texts.Text(fDuration) = u"240";
    base.Tolerances = {1, 0.25};
    const TSweepPlan plan = PlanSweep(base, {ParseSweep("thickness=20,40"), ParseSweep("material=pyrex,BK7,zerodur")});
    ASSERT_EQ(plan.Cases, 6u);
    const std::vector<TReadiness> one = RunSweep(plan, 1), two = RunSweep(plan, 2);
    EXPECT_EQ(SweepJson(plan, one), SweepJson(plan, two));
    // Case 4 is the second thickness with the second glass.
    TRequestSource single = base;
    single.Texts.Text(fThickness) = u"40";
    single.Texts.Material = 2;
    const TReadiness r = SingleRun(single);
    for (int p = 0; p < TReadiness::PartCount; ++p)
        for (std::size_t k = 0; k < 2; ++k)
            EXPECT_EQ(two[4].ReadyFrom(TReadiness::Part(p), k), r.ReadyFrom(TReadiness::Part(p), k));
    EXPECT_EQ(two[4].LargestDifference(), r.LargestDifference());
    EXPECT_EQ(SweepCsvHeader(plan),
              "thickness,material,surface_ready_1,surface_ready_0.25,back_ready_1,back_ready_0.25,glass_ready_1,"
              "glass_ready_0.25,seeing_ready_0.5,seeing_ready_0.25,seeing_ready_0.1,largest_front_back_difference,"
              "final_surface_minus_air\n");
    const std::string row = SweepCsvRow(plan, 4, two[4]);
    EXPECT_EQ(row.substr(0, 7), "40,BK7,");
    EXPECT_EQ(std::count(row.begin(), row.end(), ','), 12);
}

TEST(Sweep, BaseInACommaLocaleKeepsItsForm)
{
    // The window's texts use its decimal comma; swept values are written with ".".
    TRequestSource comma = Options();
    comma.DecimalSeparator = u',';
    comma.Texts.Text(fThickness) = u"50,8";
    comma.Texts.Text(fFrontRadiation) = u"0,04";
    TRequestSource point = Options();
    const TSweepPlan a = PlanSweep(comma, {ParseSweep("front-film=2.5,7.5")});
    const TSweepPlan b = PlanSweep(point, {ParseSweep("front-film=2.5,7.5")});
    EXPECT_EQ(SweepJson(a, RunSweep(a, 1)), SweepJson(b, RunSweep(b, 1)));
    EXPECT_EQ(SweepCaseSource(a, 1).Texts.Text(fFrontFilm), u"7,5");
}

TEST(Sweep, StopRequestLeavesLaterCasesUnrun)
{
    const TSweepPlan plan = PlanSweep(Options(), {ParseSweep("thickness=10:100:10")});
    std::stop_source stop;
    stop.request_stop();
    const std::vector<TReadiness> r = RunSweep(plan, 2, stop.get_token());
    ASSERT_EQ(r.size(), 10u);
    for (const TReadiness& x : r) EXPECT_EQ(x.Reports(), 0u);
}

TEST(Sweep, ThreadsTheSystemWillNotStartLeaveTheTableAndANote)
{
    TRequestSource base = Options();
    base.Texts.Text(fDuration) = u"30";
    const TSweepPlan plan = PlanSweep(base, {ParseSweep("thickness=10:73:1")});
    const std::string alone = SweepJson(plan, RunSweep(plan, 1));
    // In a child whose address space leaves room for a few thread stacks
    // only (a limit the system keeps even for root).
    auto child = [&] {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t room = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + (40u << 20);
        const rlimit limit{room, room};
        ::setrlimit(RLIMIT_AS, &limit);
        std::string note;
        const std::string json = SweepJson(plan, RunSweep(plan, 64, {}, {}, [&](const std::string& n) { note += n; }));
        std::fprintf(stderr, "%s\n", note.c_str());
        std::exit(json == alone && !note.empty() ? 0 : 1);
    };
    EXPECT_EXIT(child(),
        ::testing::ExitedWithCode(0), "the system started [1-9][0-9]? of 64 threads; the sweep runs on");
}

TEST(SweepCli, TableJsonJobsAndRefusals)
{
    using cli::RunSim;
    const std::string args = "--sweep thickness=20,30 --sweep front-film=5,10 --duration 180 --tolerance 1,0.5";
    const auto one = RunSim(args + " --jobs 1"), two = RunSim(args + " --jobs 2");
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out, two.out);
    // Comma and full stop whatever the locale.
    EXPECT_EQ(RunSim(args, "LC_ALL=de_DE.UTF-8").out, one.out);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = one.out.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(one.out.substr(at, end - at));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].substr(0, 38), "thickness,front-film,surface_ready_1,s");
    EXPECT_EQ(lines[3].substr(0, 5), "30,5,");  // the last key changes fastest
    // A row's figures are those of --summary --json for the same inputs.
    const auto json = RunSim(args.substr(0, args.find("--sweep")) +
                             "--thickness 20 --front-film 10 --duration 180 --tolerance 1,0.5 --summary --json");
    const auto single = nlohmann::json::parse(json.out);
    const auto sweep = nlohmann::json::parse(RunSim(args + " --json").out);
    ASSERT_EQ(sweep.size(), 4u);
    EXPECT_EQ(sweep[1]["inputs"]["thickness"], 20);
    EXPECT_EQ(sweep[1]["inputs"]["front-film"], 10);
    EXPECT_EQ(sweep[1]["ready_minutes"], single["ready_minutes"]);
    EXPECT_EQ(sweep[1]["largest_front_back_difference"], single["largest_front_back_difference"]);

    const std::pair<const char*, const char*> refused[] = {
        {"--sweep thickness=0,5", "--sweep thickness=0: \"--thickness\" is 0"},
        {"--sweep foo=1", "--sweep 'foo': no input has this key"},
        {"--sweep thickness=5 --summary", "--summary: a sweep writes its own table"},
        {"--sweep thickness=5 --output x.xlsx", "--output: a sweep writes CSV or JSON"},
        {"--jobs 2", "--jobs: it goes with --sweep"},
        {"--sweep thickness=5 --jobs 0", "--jobs"},
    };
    for (const auto& [a, message] : refused) {
        const auto r = RunSim(a);
        EXPECT_EQ(r.status, 2) << a;
        EXPECT_NE(r.err.find(message), std::string::npos) << a << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << a;
    }
}
