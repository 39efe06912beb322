// The physical model against what observers and published studies measured,
// with its shipped defaults and no tuning; which radiation model the inputs
// ask for, and what each refuses.
#include "app/core/inputs/RadiationModel.h"
#include "app/core/inputs/RunRequest.h"
#include "app/core/run/Engine.h"
#include "app/core/run/RunRecord.h"
#include "support/LibStandard.h"
#include "tests/app/CliRunner.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdio>

using namespace brennic;

namespace {

using TTexts = std::vector<std::pair<int, std::u16string>>;

TRequestSource Source(const TTexts& texts, int material = 0)
{
    TRequestSource s;
    s.Naming = TFieldNaming::Option;
    s.Use = TMemoryUse::Streams;
    // The back's radiation factor counts as given when the case sets it.
    s.BackRadiationGiven = false;
    for (const auto& [field, text] : texts) {
        s.Texts.Text(field) = text;
        s.BackRadiationGiven = s.BackRadiationGiven || field == fBackRadiation;
    }
    s.Texts.Material = material;
    return s;
}

void RunInto(TRequestSource source, TRunRecord& record)
{
    const TRunRequest request = BuildRunRequest(std::move(source));
    record.StartWithoutRows(request);
    RunEngine(request, [&](std::span<const double> p, std::span<const double> t, double time) { record.Add(p, t, time); });
}

// A Pyrex mirror from 20 degC into still air at 10 degC under a clear sky.
TTexts StillNight(const char16_t* thickness, const char16_t* diameter, const char16_t* minutes)
{
    return {{fThickness, thickness}, {fDiameter, diameter}, {fFilms, u"conditions"}, {fSky, u"clear"},
            {fDewPoint, u"0"},       {fDuration, minutes}};
}

// The Mayall 4 m: 610 mm of fused silica 5 K above still air at Kitt Peak,
// free convection only, as the paper's one-dimensional model.
TTexts Mayall()
{
    return {{fThickness, u"610"},      {fDiameter, u"4000"},     {fFilms, u"conditions"},
            {fRadiation, u"physical"}, {fFrontRadiation, u"0"},  {fBackRadiation, u"0"},
            {fEdge, u"insulated"},     {fSiteElevation, u"2096"}, {fInitialMirrorTemp, u"15"},
            {fDuration, u"3000"},      {fTimeStep, u"60"}};
}

}  // namespace

// Published cases, each run with the physical model's defaults (the back's
// emissivity, its view of the surroundings, the exposed rim):
// - the rule of thumb of about an hour per inch of Pyrex to come within a
//   degree of still air (1" and 2" mirrors);
// - the Mayall 4 m (Bohannan et al. 2000, SPIE 4003): the top surface 1 K
//   down in about 5 h, the core in about 24 h.
TEST(FieldCases, ThePhysicalModelAgreesWithPublishedCoolingTimes)
{
    struct Case {
        const char* name;
        TTexts texts;
        int material;
        TReadiness::Part part;
        double tolerance;  // degC above the air
        double expected;   // min
        double low, high;  // accepted ratio of computed to expected
    };
    const Case cases[] = {
        {"1 inch, 150 mm Pyrex: about an hour", StillNight(u"25.4", u"150", u"600"), 0, TReadiness::Surface, 1, 60,
         0.7, 1.7},
        {"2 inch, 300 mm Pyrex: about three hours", StillNight(u"50.8", u"300", u"900"), 0, TReadiness::Surface, 1,
         180, 0.7, 1.7},
        {"Mayall: the top surface 1 K down in about 5 h", Mayall(), 3, TReadiness::Surface, 4, 300, 0.65, 1.35},
        {"Mayall: the core 1 K down in about 24 h", Mayall(), 3, TReadiness::Glass, 4, 1440, 0.65, 1.35},
    };
    for (const Case& c : cases) {
        TRequestSource source = Source(c.texts, c.material);
        source.Tolerances = {c.tolerance};
        TRunRecord record;
        RunInto(std::move(source), record);
        EXPECT_EQ(record.Model.Model, TRadiationModel::Physical) << c.name;
        const auto ready = record.Readiness.ReadyFrom(c.part, 0);
        ASSERT_TRUE(ready) << c.name;
        const double ratio = *ready / 60 / c.expected;
        std::printf("%-48s %7.1f min (%.2f of %.0f)\n", c.name, *ready / 60, ratio, c.expected);
        EXPECT_GE(ratio, c.low) << c.name;
        EXPECT_LE(ratio, c.high) << c.name;
    }
}

// Only a mirror warmer than the air blurs: a surface that the clear sky holds
// below the air is ready, so a longer night never takes a readiness away.
TEST(FieldCases, ALongerRunNeverLosesAReadyTime)
{
    std::optional<double> first[3];
    for (const char16_t* minutes : {u"900", u"1500", u"3000"}) {
        TTexts texts = StillNight(u"66.7", u"400", minutes);
        texts.push_back({fTimeStep, u"30"});
        TRunRecord record;
        RunInto(Source(texts), record);
        for (int part = 0; part < TReadiness::PartCount; ++part) {
            const auto ready = record.Readiness.ReadyFrom(TReadiness::Part(part), 0);
            ASSERT_TRUE(ready) << ToUtf8(minutes) << " min, part " << part;
            if (!first[part])
                first[part] = ready;
            EXPECT_EQ(ready, first[part]) << ToUtf8(minutes) << " min, part " << part;
        }
        EXPECT_LT(record.Readiness.SurfaceBelowAir(), -0.3) << ToUtf8(minutes);
    }
}

// Which model the inputs ask for, and why.
TEST(FieldCases, RadiationModelIsInferredFromTheInputsAndSaysWhy)
{
    struct Case {
        const char* name;
        TTexts texts;
        bool airHasSky;
        TRadiationModel model;
        const char* text;
    };
    const Case cases[] = {
        {"the defaults", {}, false, TRadiationModel::Classic, "classic (inferred)"},
        {"films from the conditions", {{fFilms, u"conditions"}}, false, TRadiationModel::Physical,
         "physical (inferred: the films come from the conditions)"},
        {"an air file with a sky column", {}, true, TRadiationModel::Physical,
         "physical (inferred: the air file has a sky column)"},
        {"a fixed sky ignores the file's", {{fSky, u"fixed"}}, true, TRadiationModel::Classic, "classic (inferred)"},
        {"a tube", {{fTubeLength, u"900"}}, false, TRadiationModel::Physical, "physical (inferred: a tube is given)"},
        {"no tube", {{fTubeLength, u"0"}}, false, TRadiationModel::Classic, "classic (inferred)"},
        {"the back sees the surroundings", {{fBackSees, u"surroundings"}}, false, TRadiationModel::Physical,
         "physical (inferred: the back sees the surroundings)"},
        {"an insulated edge", {{fEdge, u"insulated"}}, false, TRadiationModel::Physical,
         "physical (inferred: the edge is given)"},
        {"chosen classic", {{fRadiation, u"classic"}, {fFilms, u"conditions"}}, false, TRadiationModel::Classic,
         "classic (chosen)"},
        {"chosen physical", {{fRadiation, u"physical"}}, false, TRadiationModel::Physical, "physical (chosen)"},
    };
    for (const Case& c : cases) {
        TInputTexts texts;
        for (const auto& [field, text] : c.texts) texts.Text(field) = text;
        const TModelChoice choice = ResolveRadiationModel(texts, c.airHasSky, u'.', TFieldNaming::Option);
        EXPECT_EQ(choice.Model, c.model) << c.name;
        EXPECT_EQ(ModelText(choice), c.text) << c.name;
    }
}

// The physical model's defaults stand where the user gave nothing: the back
// radiates with the glass's emissivity to the surroundings, the rim takes
// part; a value given stays.
TEST(FieldCases, PhysicalDefaultsFollowTheGlassUnlessGiven)
{
    struct Case {
        const char* name;
        TTexts texts;
        int material;
        bool backGiven;
        double backRadiation;
        bool surroundings, edge;
    };
    const Case cases[] = {
        {"Pyrex", {{fRadiation, u"physical"}}, 0, false, 0.90, true, true},
        {"fused silica", {{fRadiation, u"physical"}}, 3, false, 0.93, true, true},
        {"given 0 stays 0", {{fRadiation, u"physical"}}, 0, true, 0, true, true},
        {"the back sees the sky, the edge is insulated",
         {{fRadiation, u"physical"}, {fBackSees, u"sky"}, {fEdge, u"insulated"}}, 1, false, 0.92, false, false},
        {"classic keeps the seed's 0 and no rim", {}, 0, false, 0, false, false},
    };
    for (const Case& c : cases) {
        TRequestSource source = Source(c.texts, c.material);
        source.BackRadiationGiven = c.backGiven;
        const TRunRequest request = BuildRunRequest(source);
        EXPECT_EQ(request.Solver.BackRadiation, c.backRadiation) << c.name;
        EXPECT_EQ(request.Solver.BackSeesSurroundings, c.surroundings) << c.name;
        EXPECT_EQ(request.Solver.EdgeInModel(), c.edge) << c.name;
        EXPECT_EQ(request.Solver.EdgeEmissivity, GlassEmissivities[std::size_t(c.material)]) << c.name;
    }
    // The window keeps showing the value in use: a factor at one state's
    // default follows to the other's, a typed one stays.
    TInputTexts texts;
    FollowModelDefaults(texts, TRadiationModel::Classic, 0, TRadiationModel::Physical, u',');
    EXPECT_EQ(texts.Text(fBackRadiation), u"0,9");
    texts.Material = 3;
    FollowModelDefaults(texts, TRadiationModel::Physical, 0, TRadiationModel::Physical, u',');
    EXPECT_EQ(texts.Text(fBackRadiation), u"0,93");
    FollowModelDefaults(texts, TRadiationModel::Physical, 3, TRadiationModel::Classic, u',');
    EXPECT_EQ(texts.Text(fBackRadiation), u"0");
    texts.Text(fBackRadiation) = u"0,5";
    FollowModelDefaults(texts, TRadiationModel::Classic, 3, TRadiationModel::Physical, u',');
    EXPECT_EQ(texts.Text(fBackRadiation), u"0,5");
}

// What the command line refuses, each naming the option, the value and
// what would take it.
TEST(FieldCases, ModelInputsAreRefusedNamingTheOptionThatTakesThem)
{
    using cli::RunSim;
    const std::pair<const char*, const char*> refused[] = {
        {"--radiation classic --tube-length 900",
         "\"--tube-length\" is 900: it needs the physical radiation model (--radiation physical)"},
        {"--radiation classic --back-sees surroundings",
         "\"--back-sees\" is surroundings: it needs the physical radiation model (--radiation physical)"},
        {"--radiation classic --edge exposed", "\"--edge\" is exposed: it needs the physical radiation model"},
        {"--radiation classic --films conditions --back-fan 80,2.5,180",
         "\"--back-fan\" is 80,2.5,180: it needs the physical radiation model"},
        {"--radiation classic --sky clear --dew-point 0", "\"--sky\" is clear: it needs the physical radiation model"},
        {"--radiation warm", "--radiation: 'warm' is not one of auto, classic or physical"},
        {"--edge open", "--edge: 'open' is not one of auto, exposed or insulated"},
        {"--back-fan 80,2.5", "\"--back-fan\" is 80,2.5: give the fan's opening (mm), its exit speed (m/s)"},
        {"--films conditions --back-fan 80,40,180",
         "\"--back-fan\" is 80,40,180: the fan's exit speed must be between 0.1 and 30 m/s"},
        {"--films conditions --back-fan 2,2,180", "the fan's opening must be between 10 and 1000 mm"},
        {"--films conditions --back-fan 80,2,9000", "the fan's distance to the back must be between 5 and 5000 mm"},
        {"--back-fan 80,2.5,180",
         "\"--back-fan\" is 80,2.5,180: a fan's effect is computed with the film coefficients from the conditions "
         "(--films conditions)"},
        {"--site-elevation 7000", "\"--site-elevation\" is 7000: it must be between 0 and 6000 m"},
        {"--site-elevation -10", "\"--site-elevation\" is -10: it must be between 0 and 6000 m"},
    };
    for (const auto& [args, message] : refused) {
        const auto r = RunSim(std::string(args) + " --summary");
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find(message), std::string::npos) << args << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << args;
    }
}

// The command line states the model, the rim and how far below the air the
// surface goes; a fan outside Martin's range is said; the site's height
// comes from an air file's metadata when not given.
TEST(FieldCases, SummarySaysTheModelAndWhatItAssumed)
{
    using cli::RunSim;
    const auto fan = RunSim("--films conditions --diameter 150 --back-fan 80,2,50 --sky clear --dew-point 0 "
                            "--duration 600 --summary --json");
    ASSERT_EQ(fan.status, 0) << fan.err;
    const auto j = nlohmann::json::parse(fan.out);
    EXPECT_EQ(j["radiation"], "physical");
    EXPECT_LT(j["surface_below_air_max"].get<double>(), 0);
    EXPECT_GT(j["film_coefficients"]["edge"]["min"].get<double>(), 0);
    EXPECT_GT(j["film_coefficients"]["back"]["min"].get<double>(), 15);  // the jet
    EXPECT_NE(fan.err.find("openings from the back, outside the 2 to 12 of Martin's measurements: taken as 2.0"),
              std::string::npos)
        << fan.err;
    EXPECT_NE(fan.err.find("The mirror's radius is 0.9 fan openings, outside the 2.5 to 7.9"), std::string::npos)
        << fan.err;

    const auto text = RunSim("--summary --duration 600");
    EXPECT_NE(text.out.find("\nRadiation model: classic (inferred)\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Surface then down to -"), std::string::npos) << text.out;

    const fs::path dir = fs::temp_directory_path() / "brennic-elevation-test";
    fs::create_directories(dir);
    const fs::path air = dir / "forecast.csv";
    std::ofstream(air) << "latitude,longitude,elevation,utc_offset_seconds\n31.96,-111.6,2096.0,-25200\n\n"
                          "time,temperature_2m (\xC2\xB0" "C)\n2026-12-08T18:00,10\n2026-12-09T00:00,10\n"
                          "2026-12-09T06:00,10\n";
    const std::string base = "--films conditions --air-file " + air.string() + " --summary --json";
    const auto high = RunSim(base);
    const auto given = RunSim(base + " --site-elevation 0");
    ASSERT_EQ(high.status, 0) << high.err;
    EXPECT_NE(high.err.find("Site elevation 2096 m, from "), std::string::npos) << high.err;
    const auto hj = nlohmann::json::parse(high.out.substr(0, high.out.find('\n')));
    const auto gj = nlohmann::json::parse(given.out.substr(0, given.out.find('\n')));
    // Thinner air: lower film coefficients, a later readiness.
    EXPECT_LT(hj["film_coefficients"]["front"]["max"].get<double>(), gj["film_coefficients"]["front"]["max"].get<double>());
    fs::remove_all(dir);
}
