#include "app/core/Fit.h"
#include "app/core/MeasuredLog.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

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
    SyntheticLog(const TBrennicOneD& truth, double noise, bool withBack)
    {
        char tmpl[] = "/tmp/brennic-log-XXXXXX";
        path = fs::path(::mkdtemp(tmpl)) / "log.csv";
        std::ofstream out(path, std::ios::binary);
        out << "\"Time\",\"T_Ambient\",\"T_Surface\"" << (withBack ? ",\"T_Back\"" : "") << "\r\n";
        std::mt19937 random(20261208);
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
    return FitToLog(SolverSpec(s, measured), params);
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
            EXPECT_FALSE(r.PoorlyDetermined[i]) << c.name << " " << i;
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
    const TFitResult r = FitToLog(SolverSpec(Mirror(10, 10), measured), {TFitParameter::FrontFilm, TFitParameter::BackFilm},
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
         "a surface or a back column is needed (named T_Surface and T_Back, or chosen)"},
        {"one row", write("b.csv", "Time,T_Surface\n0,1\n"), {}, "", "a log needs at least two rows"},
        {"before the start",
         write("c.csv", "time,T_Surface\n2026-12-08T18:00,1\n2026-12-08T19:00,2\n"),
         {},
         "2026-12-09T18:00",
         "the whole log lies before the start"},
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
