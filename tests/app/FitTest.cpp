#include "app/core/fit/Fit.h"
#include "app/core/fit/FitStatistics.h"
#include "tests/TempFolder.h"
#include "tests/app/CliRunner.h"
#include "app/core/results/ResultText.h"
#include "app/core/tables/MeasuredLog.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include <nlohmann/json.hpp>

using namespace brennic;
namespace fs = std::filesystem;

namespace {

// The mirror behind the synthetic logs: 25 mm Pyrex, 6 hours at 10 s steps,
// the air falling from 12 to 4 degC.
TBrennicOneD Mirror(double front, double back)
{
    TBrennicOneD s;
    s.Thickness = 0.025;
    s.ElementCount = 20;
    s.InitialMirrorTemp = 20;
    s.InitialAirTemp = 12;
    s.FinalAirTemp = 4;
    s.Duration = 6 * 3600;
    s.TimeStep = 10;
    s.FrontFilmCoefficient = front;
    s.BackFilmCoefficient = back;
    s.FrontRadiation = 0.04;
    s.Conductivity = GlassMaterials[0].Conductivity;
    s.Density = GlassMaterials[0].Density;
    s.SpecificHeat = GlassMaterials[0].SpecificHeat;
    return s;
}

// A log written by the model itself, one row a minute, with noise of the
// given standard deviation on the mirror's sensors.
struct SyntheticLog {
    fs::path path;
    SyntheticLog(const TBrennicOneD& truth, double noise, bool withBack, unsigned seed = 20261208)
    {
        char tmpl[] = "/tmp/brennic-log-XXXXXX";
        path = fs::path(::mkdtemp(tmpl)) / "log.csv";
        std::ofstream out(path, std::ios::binary);
        out << "\"Time\",\"T_Ambient\",\"T_Surface\"" << (withBack ? ",\"T_Back\"" : "") << "\r\n";
        std::mt19937 random(seed);
        std::normal_distribution<double> error(0, noise);
        for (const TStepValues& v : RunReports(truth)) {
            if (std::fmod(v.Time, 60) != 0)
                continue;
            const double surface = v.Surface + (noise > 0 ? error(random) : 0);
            const double back = v.Back + (noise > 0 ? error(random) : 0);
            out << ToUtf8(FormatFloat(v.Time, u'.')) << ',' << ToUtf8(FormatFloat(v.Air, u'.')) << ','
                << ToUtf8(FormatFloat(surface, u'.'));
            if (withBack)
                out << ',' << ToUtf8(FormatFloat(back, u'.'));
            out << "\r\n";
        }
    }
    ~SyntheticLog() { fs::remove_all(path.parent_path()); }
};

TFitResult FitFrom(const TBrennicOneD& start, const fs::path& log, const std::vector<TFitParameter>& params)
{
    const auto measured = TMeasuredLog::Load(log.string(), {});
    TBrennicOneD s = start;
    if (measured->Air)
        TAirSource::Apply(measured->Air, s);
    return FitToLog(SolverRequest(s, measured), params);
}

}  // namespace

TEST(Fit, RecoversTheFilmCoefficientsOfASyntheticLog)
{
    using P = TFitParameter;
    struct Case {
        const char* name;
        double noise;
        std::vector<P> params;
        double tolerance;
    };
    const Case cases[] = {
        {"two films, no noise", 0, {P::FrontFilm, P::BackFilm}, 0.001},
        {"two films, noise of 0.05 degC", 0.05, {P::FrontFilm, P::BackFilm}, 0.02},
        {"and the starting temperature", 0, {P::FrontFilm, P::BackFilm, P::MirrorTemp}, 0.001},
    };
    const TBrennicOneD truth = Mirror(17.5, 6.2);
    for (const auto& c : cases) {
        SyntheticLog log(truth, c.noise, true);
        TBrennicOneD start = Mirror(10, 10);
        start.InitialMirrorTemp = 21;  // fitted where asked, else as the log's
        if (c.params.size() < 3)
            start.InitialMirrorTemp = 20;
        const TFitResult r = FitFrom(start, log.path, c.params);
        ASSERT_FALSE(r.Cancelled) << c.name;
        const double expected[] = {17.5, 6.2, 20};
        for (std::size_t i = 0; i < c.params.size(); ++i) {
            EXPECT_NEAR(r.Values[i], expected[i], expected[i] * c.tolerance) << c.name << " " << i;
            // With the start fixed the two films trade off against each other
            // (a correlation near -0.96), which the fit says.
            const bool strong = c.params.size() == 2 && std::fabs(r.Correlation[0][1]) >= 0.95;
            EXPECT_EQ(r.PoorlyDetermined[i], strong) << c.name << " " << i;
            EXPECT_TRUE(std::isfinite(r.Uncertainties[i])) << c.name;
        }
        EXPECT_LT(r.RmsAfter, r.RmsBefore) << c.name;
        EXPECT_EQ(r.Points, 2u * 361u) << c.name;
        EXPECT_LE(r.RmsAfter, c.noise > 0 ? c.noise * 1.2 : 1e-6) << c.name;
        EXPECT_GT(r.Evaluations, 5) << c.name;
        if (c.noise > 0) {
            EXPECT_GT(r.Uncertainties[0], 0) << c.name;
        }
    }
}

TEST(Fit, ALogThatCannotConstrainAValueSaysSo)
{
    // Only the surface was logged and the back is insulated: the log says
    // little about the back's coefficient.
    TBrennicOneD truth = Mirror(17.5, 0);
    SyntheticLog log(truth, 0.05, false);
    const TFitResult r = FitFrom(Mirror(10, 10), log.path, {TFitParameter::FrontFilm, TFitParameter::BackFilm});
    ASSERT_EQ(r.PoorlyDetermined.size(), 2u);
    EXPECT_NEAR(r.Values[0], 17.5, 17.5 * 0.1);
    EXPECT_TRUE(r.PoorlyDetermined[1]) << "back film " << r.Values[1] << " +- " << r.Uncertainties[1];
}

TEST(Fit, CancelStopsBetweenRuns)
{
    SyntheticLog log(Mirror(17.5, 6.2), 0, true);
    const auto measured = TMeasuredLog::Load(log.path.string(), {});
    int calls = 0;
    const TFitResult r = FitToLog(SolverRequest(Mirror(10, 10), measured), {TFitParameter::FrontFilm, TFitParameter::BackFilm},
                                  [&](int, double) { return ++calls < 3; });
    EXPECT_TRUE(r.Cancelled);
    EXPECT_EQ(calls, 3);
}

TEST(MeasuredLog, RefusalsAndColumns)
{
    char tmpl[] = "/tmp/brennic-logs-XXXXXX";
    const fs::path dir = ::mkdtemp(tmpl);
    auto write = [&](const char* name, const char* text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    };
    struct Case {
        const char* name;
        std::string file;
        TLogColumns columns;
        std::string start;
        std::string message;
    };
    const Case cases[] = {
        {"no mirror column",
         write("a.csv", "time,air\n0,1\n1,2\n"),
         {},
         "",
         "a surface or a back column is needed (named T_Surface and T_Back, or chosen with --measured-columns "
         "surface=NAME,back=NAME; the columns are air (1))"},
        {"one row", write("b.csv", "Time,T_Surface\n0,1\n"), {}, "", "a log needs at least two rows"},
        {"before the start",
         write("c.csv", "time,T_Surface\n2026-12-08T18:00,1\n2026-12-08T19:00,2\n"),
         {},
         "2026-12-09T18:00",
         "the start '2026-12-09T18:00' lies outside the file's times, 2026-12-08 18:00 to 2026-12-08 19:00"},
        {"a chosen column missing",
         write("d.csv", "time,front\n0,1\n1,2\n"),
         {"", "", "mirror", ""},
         "",
         "there is no surface column \"mirror\""},
    };
    for (const auto& c : cases) {
        try {
            TMeasuredLog::Load(c.file, c.columns, c.start);
            ADD_FAILURE() << c.name;
        } catch (const ETableError& e) {
            EXPECT_EQ(std::string(e.what()), c.file + ": " + c.message) << c.name;
        }
    }
    const auto log = TMeasuredLog::Load(write("e.csv", "min,front,rear,outside\n0,20,21,10\n1,19,,10\n"),
                                        ParseLogColumns("surface=front,back=rear,air=outside"));
    EXPECT_EQ(log->Surface.size(), 2u);
    EXPECT_EQ(log->Back.size(), 1u);
    EXPECT_TRUE(log->Air);
    EXPECT_EQ(log->FirstMirrorTemperature(), 20);
    EXPECT_EQ(log->Span(), 60);
    EXPECT_THROW(ParseLogColumns("front=x"), EBrennicError);
    EXPECT_THROW(ParseFitParameters("front-film,front-film"), EBrennicError);
    EXPECT_THROW(ParseFitParameters("fan"), EBrennicError);
    fs::remove_all(dir);
}

TEST(MeasuredLog, ComparisonInterpolatesBetweenReports)
{
    TMeasuredLog log;
    log.Surface = {{5, 11}, {10, 10}, {25, 0}};  // the last lies beyond the run
    log.Back = {{0, 12}};
    const std::vector<TStepValues> reports{{0, 10, 12, 12, 12, 2}, {10, 10, 11, 11.5, 11.5, 1.5}};
    std::vector<double> residuals;
    Residuals(log, reports, residuals);
    EXPECT_EQ(residuals, (std::vector<double>{11.5 - 11, 11 - 10, 12 - 12}));
    const TLogComparison c = Compare(log, reports);
    EXPECT_EQ(c.Points, 3u);
    EXPECT_DOUBLE_EQ(c.Rms, std::sqrt((0.25 + 1) / 3));
}

TEST(FitHonesty, TruthWithinTwoStandardErrorsInNineOfTenFits)
{
    // 40 logs of independent noise through the command line's default path,
    // which fits the start taken from the first noisy sample as well.
    TBrennicOneD truth = Mirror(17.5, 6.2);
    truth.InitialMirrorTemp = 19;
    int inside[2] = {0, 0};
    const double expected[2] = {17.5, 6.2};
    const char* keys[2] = {"front_film", "back_film"};
    constexpr int logs = 40;
    for (int k = 0; k < logs; ++k) {
        SyntheticLog log(truth, 0.05, true, 1000u + unsigned(k));
        const auto r = cli::RunSim("--thickness 25 --elements 20 --measured " + log.path.string() +
                                   " --fit front-film,back-film --json");
        ASSERT_EQ(r.status, 0) << r.err;
        const auto j = nlohmann::json::parse(r.out);
        ASSERT_TRUE(j["parameters"].contains("mirror_temp"));
        for (int i = 0; i < 2; ++i) {
            const double value = j["parameters"][keys[i]]["value"].get<double>();
            const double error = j["parameters"][keys[i]]["uncertainty"].get<double>();
            if (std::fabs(value - expected[i]) <= 2 * error)
                ++inside[i];
        }
        EXPECT_EQ(j["degrees_of_freedom"].get<int>(), 2 * 361 - 3);
        EXPECT_NEAR(j["noise_estimate"].get<double>(), 0.05, 0.01);
        EXPECT_TRUE(j["warnings"].empty()) << j["warnings"].dump();
    }
    std::printf("truth within 2 standard errors: front %d of %d, back %d of %d\n", inside[0], logs, inside[1], logs);
    EXPECT_GE(inside[0], 36);
    EXPECT_GE(inside[1], 36);
}

TEST(FitHonesty, WrongModelIsWarnedAboutAndTheRightOneIsNot)
{
    struct Case {
        const char* name;
        double truthEmissivity;
        bool warned;
    };
    const Case cases[] = {{"front emissivity 0.3 fitted as 0.04", 0.3, true}, {"the right model", 0.04, false}};
    for (const Case& c : cases) {
        TBrennicOneD truth = Mirror(18, 6.2);
        truth.FrontRadiation = c.truthEmissivity;
        SyntheticLog log(truth, 0.1, true, 7);
        const auto r = cli::RunSim("--thickness 25 --elements 20 --front-radiation 0.04 --measured " +
                                   log.path.string() + " --fit front-film,back-film --json");
        ASSERT_EQ(r.status, 0) << r.err;
        const auto j = nlohmann::json::parse(r.out);
        EXPECT_EQ(!j["warnings"].empty(), c.warned) << c.name << ": " << j.dump();
        if (c.warned)
            EXPECT_NE(j["warnings"][0].get<std::string>().find("the model does not describe this log well (RMS "),
                      std::string::npos);
    }
}

TEST(FitHonesty, ValuesShownToThePrecisionOfTheirUncertainty)
{
    struct Case {
        const char* name;
        double value, uncertainty;
        char16_t dec;
        const char *shown, *plusMinus;
    };
    const Case cases[] = {
        {"a tiny uncertainty lengthens the value", 18, 0.009226, u'.', "18.0000", "0.0092"},
        {"two digits of a tenth", 12.3456, 0.15, u'.', "12.35", "0.15"},
        {"rounded left of the point", 123456, 1234, u'.', "123500", "1200"},
        {"negative, comma decimals", -3.21, 0.5, u',', "-3,21", "0,50"},
        {"no uncertainty known", 0.04123456, std::nan(""), u'.', "0.04123", "unknown"},
        {"a zero uncertainty", 5, 0, u'.', "5", "unknown"},
    };
    for (const Case& c : cases) {
        const TUncertainText t = UncertainText(c.value, c.uncertainty, c.dec);
        EXPECT_EQ(t.Value, c.shown) << c.name;
        EXPECT_EQ(t.Uncertainty, c.plusMinus) << c.name;
    }
}

TEST(FitHonesty, TooFewPointsAreRefused)
{
    char tmpl[] = "/tmp/brennic-few-XXXXXX";
    const fs::path dir = ::mkdtemp(tmpl);
    const fs::path path = dir / "few.csv";
    std::ofstream(path) << "\"Time\",\"T_Ambient\",\"T_Surface\"\r\n0,10,20\r\n60,10,19.5\r\n120,10,19.1\r\n";
    const auto r = cli::RunSim("--measured " + path.string() + " --fit front-film,back-film");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Fitting 3 inputs needs at least 4 points; the log has 3"), std::string::npos) << r.err;
    fs::remove_all(dir);
}

TEST(FitHonesty, StatisticsOfAKnownLinearModel)
{
    // Residuals of a linear model with orthogonal columns of norms 2 and 4:
    // the standard errors are scale * sqrt(SSR / (n - p)) / norm.
    const std::vector<double> residuals = {0.1, -0.2, 0.15, -0.05, 0.1, -0.1};
    const std::vector<std::vector<double>> jacobian = {{1, 1, 1, 1, 0, 0}, {0, 0, 0, 0, 4, 0}};
    TMeasuredLog log;
    double ssr = 0;
    for (double d : residuals) ssr += d * d;
    const double s = std::sqrt(ssr / 4);
    struct Case {
        const char* name;
        std::vector<std::vector<double>> jacobian;
        std::vector<double> errors;
        std::vector<bool> notDetermined;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"orthogonal", jacobian, {10 * s / 2, 0.5 * s / 4}, {false, false}},
        {"a parameter the log does not see", {{1, 1, 1, 1, 0, 0}, {0, 0, 0, 0, 0, 0}}, {10 * s / 2, inf}, {false, true}},
    };
    for (const Case& c : cases) {
        const TFitStatistics st = FitStatistics({17, 0.3}, {10, 0.5}, c.jacobian, residuals, 6, {false, false},
                                                {"front-film", "front-radiation"}, log);
        EXPECT_EQ(st.DegreesOfFreedom, 4) << c.name;
        EXPECT_EQ(st.NotDetermined, c.notDetermined) << c.name;
        for (std::size_t i = 0; i < 2; ++i)
            if (std::isinf(c.errors[i]))
                EXPECT_TRUE(std::isinf(st.Errors[i])) << c.name << i;
            else
                EXPECT_NEAR(st.Errors[i], c.errors[i], 1e-12) << c.name << i;
        EXPECT_EQ(st.Warnings.size(), c.notDetermined[1] ? 1u : 0u) << c.name;
    }
    // Strongly correlated columns flag both; a temperature is poor at 1 K.
    const TFitStatistics together = FitStatistics({17, 20}, {10, 1}, {{1, 1, 1, 1, 1, 0}, {1, 1, 1, 1, 1, 0.1}},
                                                  residuals, 6, {false, true}, {"front-film", "mirror-temp"}, log);
    EXPECT_GT(std::fabs(together.Correlation[0][1]), 0.95);
    EXPECT_TRUE(together.Poorly[0] && together.Poorly[1]);
    // Lag-1 autocorrelation: alternating residuals near -1, a drift near +1,
    // and no pair across the surface and back series.
    EXPECT_LT(Lag1Autocorrelation({1, -1, 1, -1, 1, -1}, 6), -0.8);
    EXPECT_GT(Lag1Autocorrelation({-3, -2, -1, 1, 2, 3}, 6), 0.5);
    // Deviations -0.5, 0.5, -0.5, 0.5: two pairs within the series, none across.
    EXPECT_NEAR(Lag1Autocorrelation({1, 2, 1, 2}, 2), -0.5, 1e-12);
}

TEST(FitHonesty, NoiseEstimateOfWhiteNoiseOnASmoothCurve)
{
    TMeasuredLog log;
    std::mt19937 random(3);
    std::normal_distribution<double> error(0, 0.1);
    for (int i = 0; i < 2000; ++i)
        log.Surface.push_back({60.0 * i, 10 + 5 * std::exp(-i / 300.0) + error(random)});
    EXPECT_NEAR(LogNoiseEstimate(log), 0.1, 0.01);
    TMeasuredLog smooth;
    for (int i = 0; i < 100; ++i) smooth.Back.push_back({60.0 * i, 10 + 5 * std::exp(-i / 300.0)});
    EXPECT_LT(LogNoiseEstimate(smooth), 1e-3);
}

TEST(FitHonesty, GarbageEndsHonestlyInBoundedTime)
{
    // A log that never changes, and one of pure noise (small enough that no
    // reading jumps as no mirror does): no good fit is claimed.
    brennic::test::TTempFolder dir;
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0, 1.5);
    std::ofstream constant(dir.path / "constant.csv"), pure(dir.path / "noise.csv");
    for (std::ofstream* out : {&constant, &pure}) *out << "\"Time\",\"T_Ambient\",\"T_Surface\",\"T_Back\"\n";
    for (int i = 0; i < 361; ++i) {
        constant << i * 60 << ",10,15,15\n";
        pure << i * 60 << ",10," << 10 + noise(random) << ',' << 10 + noise(random) << "\n";
    }
    constant.close();
    pure.close();
    struct Case {
        const char* name;
        const char* file;
        bool warned;
    };
    const Case cases[] = {{"a constant log", "constant.csv", true}, {"pure noise", "noise.csv", false}};
    for (const Case& c : cases) {
        const auto r = cli::RunSim("--measured " + (dir.path / c.file).string() + " --fit front-film,back-film --json");
        ASSERT_EQ(r.status, 0) << c.name << ": " << r.err;
        const auto j = nlohmann::json::parse(r.out);
        EXPECT_EQ(!j["warnings"].empty(), c.warned) << c.name << ": " << j["warnings"].dump();
        // Either the model is said not to describe the log, or nothing is determined well.
        bool allPoor = true;
        for (const auto& [key, p] : j["parameters"].items())
            if (key != "mirror_temp")
                allPoor = allPoor && p["poorly_determined"].get<bool>();
        EXPECT_TRUE(allPoor) << c.name << ": " << j["parameters"].dump();
        EXPECT_LT(j["fit"]["evaluations"].get<int>(), 2100) << c.name;
    }
}

// A stop asked for anywhere in a fit, the uncertainty phase included, ends
// it within the model run in progress; an evaluation's own error is
// reported as itself. The air function counts the steps of every run.
TEST(Fit, StopsWithinOneRunAndReportsAnEvaluationsErrorAsItself)
{
    const TBrennicOneD truth = Mirror(8, 5);
    const SyntheticLog log(truth, 0, true);
    const auto measured = TMeasuredLog::Load(log.path.string(), {});
    const std::vector<TFitParameter> params{TFitParameter::FrontFilm, TFitParameter::BackFilm};
    const double stepsPerRun = truth.Duration / truth.TimeStep;

    // Counts steps; asks for a stop when it reaches stopAt, throws at throwAt.
    struct Counter {
        double steps = 0, stopAt = -1, throwAt = -1, atStop = -1;
        std::stop_source* source = nullptr;
    };
    auto request = [&](Counter& c) {
        TBrennicOneD s = Mirror(10, 10);
        TAirSource::Apply(measured->Air, s);
        const auto air = s.AirTemperature;
        s.AirTemperature = [&c, air](double t) {
            if (++c.steps == c.stopAt) {
                c.atStop = c.steps;
                c.source->request_stop();
            }
            if (c.steps == c.throwAt)
                throw EBrennicError("the air sensor's table ends");
            return air(t);
        };
        return SolverRequest(s, measured);
    };

    Counter whole;
    const TFitResult full = FitToLog(request(whole), params);
    ASSERT_FALSE(full.Cancelled);
    const double runs = whole.steps / stepsPerRun;
    ASSERT_GT(runs, 6);

    struct Case {
        const char* name;
        double runsBeforeStop;
    };
    // The uncertainty phase takes the last 2p + 2 runs.
    const Case cases[] = {{"during the search", 3.5}, {"during the uncertainties", runs - 1.5}};
    for (const Case& c : cases) {
        std::stop_source source;
        Counter counter;
        counter.source = &source;
        counter.stopAt = std::floor(c.runsBeforeStop * stepsPerRun);
        const TFitResult r = FitToLog(request(counter), params, {}, source.get_token());
        EXPECT_TRUE(r.Cancelled) << c.name;
        EXPECT_LE(counter.steps - counter.atStop, 1) << c.name << ": steps after the stop";
    }

    Counter failing;
    failing.throwAt = std::floor(2.5 * stepsPerRun);
    try {
        FitToLog(request(failing), params);
        ADD_FAILURE() << "the evaluation's error was swallowed";
    } catch (const EBrennicError& e) {
        EXPECT_STREQ(e.what(), "the air sensor's table ends");
    }
}
