// Runs from the observing conditions: the new inputs' refusals, the sky's
// resolution, mirror seeing readiness and the command line's reports.
#include "app/core/run/Engine.h"
#include "app/core/results/Readiness.h"
#include "app/core/inputs/RunRequest.h"
#include "model/FilmCorrelations.h"
#include "support/LibStandard.h"
#include "tests/app/CliRunner.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cmath>

using namespace brennic;

namespace {

TStepValues At(double minutes, double air, double surface)
{
    return {minutes * 60, air, surface, surface, surface, std::fabs(surface - air)};
}

}  // namespace

TEST(Seeing, ReadinessFromTheLastTimeTheBlurExceedsEachThreshold)
{
    struct Case {
        const char* name;
        std::vector<TStepValues> reports;
        std::vector<std::optional<double>> ready;  // minutes for 0.5, 0.25, 0.1
    };
    // 0.40" x dT^1.2: 1 K gives 0.40", 0.5 K 0.174", 0.1 K 0.025".
    const Case cases[] = {
        {"surface ends below the air: never blurs once below",
         {At(0, 10, 12), At(10, 10, 10.5), At(20, 10, 9.5), At(30, 10, 9)},
         {10, 10, 20}},
        {"surface stays above the air",
         {At(0, 10, 12), At(10, 10, 11), At(20, 10, 10.5), At(30, 10, 10.5)},
         {10, 20, std::nullopt}},
        {"a warm spell undoes readiness", {At(0, 10, 10), At(10, 10, 12), At(20, 10, 10)}, {20, 20, 20}},
    };
    for (const Case& c : cases) {
        TReadiness r;
        r.SetSeeing({0.5, 0.25, 0.1});
        for (const TStepValues& v : c.reports) r.Add(v);
        for (std::size_t k = 0; k < 3; ++k) {
            const auto got = r.SeeingReadyFrom(k);
            EXPECT_EQ(got ? std::optional<double>(*got / 60) : std::nullopt, c.ready[k]) << c.name << " " << k;
        }
    }
    EXPECT_DOUBLE_EQ(MirrorSeeing(At(0, 10, 11)), 0.4);
    EXPECT_NEAR(MirrorSeeing(At(0, 10, 12)), 0.4 * std::pow(2, 1.2), 1e-15);
    EXPECT_EQ(MirrorSeeing(At(0, 10, 9)), 0);
}

TEST(ConditionsRun, NewInputsAreRefusedNamingOptionAndValue)
{
    using cli::RunSim;
    const std::pair<const char*, const char*> refused[] = {
        {"--diameter 0", "\"--diameter\" is 0: it must be between 10 and 10000 mm"},
        {"--diameter 1e-9", "\"--diameter\" is 1e-9: it must be between 10 and 10000 mm"},
        {"--diameter 20000", "\"--diameter\" is 20000: it must be between 10 and 10000 mm"},
        {"--altitude -1", "\"--altitude\" is -1: it must be between 0 and 90"},
        {"--altitude 91", "\"--altitude\" is 91"},
        {"--front-air-speed -1", "\"--front-air-speed\" is -1: it must be between 0 and 50 m/s"},
        {"--back-air-speed 60", "\"--back-air-speed\" is 60"},
        {"--films fan", "--films: 'fan' is not one of typed or conditions"},
        {"--sky cloudy", "--sky: 'cloudy' is not one of auto, fixed, clear or file"},
        {"--sky file", "\"--sky\" is file: the sky comes from an air file, and none is chosen"},
        {"--sky clear", "\"--dew-point\" is not given: a clear sky needs the dew point"},
        {"--sky clear --dew-point 70", "\"--dew-point\" is 70: it must be between -100 and 60"},
        {"--dew-point abc", "--dew-point: 'abc' is not a valid floating point value"},
        {"--back-sees floor", "--back-sees: 'floor' is not one of auto, sky or surroundings"},
        {"--tube-length -5", "\"--tube-length\" is -5: it must be between 0 and 100000 mm"},
        {"--seeing 0.5,0", "\"--seeing\" is 0.5,0: it must be greater than 0"},
        {"--seeing fast", "--seeing: 'fast' is not a list of numbers"},
    };
    for (const auto& [args, message] : refused) {
        const auto r = RunSim(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find(message), std::string::npos) << args << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << args;
    }
}

TEST(ConditionsRun, SummaryReportsSeeingAndFilmRanges)
{
    using cli::RunSim;
    const auto r = RunSim("--films conditions --diameter 250 --thickness 25 --duration 360 --summary --json "
                          "--seeing 0.5,0.25");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["seeing_thresholds"], nlohmann::json::array({0.5, 0.25}));
    ASSERT_TRUE(j["seeing_ready_minutes"].contains("0.25"));
    const auto& films = j["film_coefficients"];
    // Still air over a 250 mm mirror stepped 10 K: a few W/m2K, as measured.
    EXPECT_GT(films["front"]["max"].get<double>(), 3);
    EXPECT_LT(films["front"]["max"].get<double>(), 7);
    EXPECT_LT(films["back"]["max"].get<double>(), films["front"]["max"].get<double>());
    EXPECT_LE(films["front"]["min"].get<double>(), films["front"]["max"].get<double>());
    // The classic run has no film ranges; its text summary a line per threshold.
    const auto classic = RunSim("--summary");
    EXPECT_NE(classic.out.find("Mirror seeing at most 0.25 arcsec: "), std::string::npos);
    EXPECT_EQ(classic.out.find("Film coefficients"), std::string::npos);
}

TEST(ConditionsRun, OrdinaryMirrorsAreNeverRefused)
{
    int runs = 0;
    for (const char16_t* thickness : {u"10", u"25", u"50", u"100"})
        for (const char16_t* diameter : {u"100", u"250", u"500", u"1000"})
            for (const char16_t* step : {u"1", u"10", u"60"})
                for (const char16_t* sky : {u"fixed", u"clear"})
                    for (const char16_t* back : {u"sky", u"surroundings"}) {
                        TRequestSource s;
                        s.Naming = TFieldNaming::Option;
                        s.Use = TMemoryUse::Streams;
                        s.Texts.Text(fThickness) = thickness;
                        s.Texts.Text(fDiameter) = diameter;
                        s.Texts.Text(fTimeStep) = step;
                        s.Texts.Text(fFilms) = u"conditions";
                        s.Texts.Text(fSky) = sky;
                        s.Texts.Text(fDewPoint) = u"-5";
                        s.Texts.Text(fBackSees) = back;
                        s.Texts.Text(fFrontRadiation) = u"1";
                        s.Texts.Text(fBackRadiation) = u"1";
                        s.Texts.Text(fDuration) = u"10";
                        EXPECT_NO_THROW(RunValues(BuildRunRequest(s))) << ToUtf8(thickness) << " mm, " << ToUtf8(diameter)
                                                                   << " mm, " << ToUtf8(step) << " s";
                        ++runs;
                    }
    EXPECT_EQ(runs, 192);
}

TEST(ConditionsRun, SkyResolution)
{
    TBrennicOneD solver;
    TInputTexts texts;
    EXPECT_EQ(ResolveSky(texts, nullptr, u'.', TFieldNaming::Option, solver), TSkyKind::Fixed);
    EXPECT_FALSE(solver.PhysicalRadiation());
    texts.Text(fSky) = u"clear";
    texts.Text(fDewPoint) = u"-3.5";
    EXPECT_EQ(ResolveSky(texts, nullptr, u'.', TFieldNaming::Option, solver), TSkyKind::Clear);
    ASSERT_TRUE(solver.ClearSkyDewPoint);
    EXPECT_EQ(solver.ClearSkyDewPoint(100), -3.5);
    EXPECT_TRUE(solver.PhysicalRadiation());
    texts.Text(fSky) = u"fixed";
    ResolveSky(texts, nullptr, u'.', TFieldNaming::Option, solver);
    EXPECT_FALSE(solver.ClearSkyDewPoint);
}
