#include "app/core/results/Decimator.h"
#include "app/core/results/ResultText.h"
#include "app/core/inputs/InputPlausibility.h"
#include "app/core/inputs/RunSetup.h"
#include "app/core/results/StripPalette.h"
#include "app/core/results/StripRaster.h"
#include "model/FiniteDiff_1D.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <gtest/gtest.h>

#include <array>
#include <cfenv>
#include <cmath>
#include <limits>

using namespace brennic;

TEST(ResultText, RegionalSettingsRule)
{
    struct Case {
        std::optional<char16_t> dec, list;
        char16_t wantDec, wantList;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, u'.', u','},
        {u',', std::nullopt, u',', u';'},
        {u',', u';', u',', u';'},
        {u'.', u'.', u'.', u';'},
        {u';', u';', u';', u','},
        {u'.', u'\t', u'.', u'\t'},
    };
    for (const auto& c : cases) {
        const auto s = MakeRegionalSettings(c.dec, c.list);
        EXPECT_EQ(s.DecimalSeparator, c.wantDec);
        EXPECT_EQ(s.ListSeparator, c.wantList);
        EXPECT_NE(s.DecimalSeparator, s.ListSeparator);
    }
}

TEST(ResultText, HeaderAndRowsForBothSeparatorSets)
{
    const TRegionalSettings dot{u'.', u','}, comma{u',', u';'};
    EXPECT_EQ(ResultHeader(dot), u"\"Time\",\"T_Ambient\",\"T_Surface\",\"T_Back\",\"T_Core\"");
    EXPECT_EQ(ResultHeader(dot).size(), 48u);
    EXPECT_EQ(ResultHeader(comma), u"\"Time\";\"T_Ambient\";\"T_Surface\";\"T_Back\";\"T_Core\"");
    const TStepValues first{0, 10, 20, 20, 20};
    EXPECT_EQ(ResultRow(first, dot), u"0,10,20,20,20");
    EXPECT_EQ(ResultRow(first, comma), u"0;10;20;20;20");
    const TStepValues frac{600, -2.5, 17.96, 0.00005, 1e20};
    EXPECT_EQ(ResultRow(frac, dot), u"600,-2.5,17.96,5E-005,1E020");
    EXPECT_EQ(ResultRow(frac, comma), u"600;-2,5;17,96;5E-005;1E020");
}

TEST(ResultText, StepValuesTakeCoreAsMaximumOfAllNodes)
{
    const double glassWarm[] = {10, 18, 19.5, 19, 10};
    auto v = StepValues(glassWarm, 60);
    EXPECT_EQ(v.Air, 10);
    EXPECT_EQ(v.Surface, 18);
    EXPECT_EQ(v.Back, 19);
    EXPECT_EQ(v.Core, 19.5);
    const double airWarm[] = {15, 5, 6, 15};
    v = StepValues(airWarm, 0);
    EXPECT_EQ(v.Core, 15);
    const double single[] = {10, 12, 10};
    v = StepValues(single, 0);
    EXPECT_EQ(v.Surface, 12);
    EXPECT_EQ(v.Back, 12);
}

TEST(RunSetup, DefaultsGiveTheExpectedSolverAndPlan)
{
    TBrennicOneD s;
    ApplyInputs(TInputTexts{}, u'.', s);
    EXPECT_EQ(s.Thickness, 0.0508);
    EXPECT_EQ(s.ElementCount, 50);
    EXPECT_EQ(s.Duration, 7200);
    EXPECT_EQ(s.TimeStep, 10);
    EXPECT_EQ(s.FrontRadiation, 0.04);
    EXPECT_EQ(s.Conductivity, 1.13);
    const auto plan = PlanRun(s, u'.');
    EXPECT_EQ(plan.StripWidth, 721);
    EXPECT_EQ(plan.StripHeight, 50);
    EXPECT_EQ(plan.AxisMinutes, 120);
    EXPECT_EQ(plan.TempMin, 9);
    EXPECT_EQ(plan.TempMax, 21);

    TInputTexts t;
    t.Text(fDuration) = u"2.5";
    t.Text(fInitialMirrorTemp) = u"5";
    t.Text(fInitialAirTemp) = u"12";
    t.Text(fFinalAirTemp) = u"-3";
    t.Material = 3;
    ApplyInputs(t, u'.', s);
    EXPECT_EQ(s.Duration, 150);
    EXPECT_EQ(s.Conductivity, 1.38);
    EXPECT_EQ(s.Density, 2200);
    EXPECT_EQ(s.SpecificHeat, 700);
    const auto p = PlanRun(s, u'.');
    EXPECT_EQ(p.AxisMinutes, 2.5);
    EXPECT_EQ(p.TempMin, -4);
    EXPECT_EQ(p.TempMax, 13);
    EXPECT_EQ(p.StripWidth, 16);  // 15 steps, halves to even
}

TEST(RunSetup, ConversionStopsAtFirstBadField)
{
    TBrennicOneD s;
    TInputTexts t;
    t.Text(fThickness) = u"abc";
    t.Text(fElementCount) = u"nonsense";
    try {
        ApplyInputs(t, u'.', s);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
    EXPECT_EQ(s.ElementCount, 0);  // not read
    t = TInputTexts{};
    t.Text(fElementCount) = u"50.0";
    t.Text(fTimeStep) = u"x";
    try {
        ApplyInputs(t, u'.', s);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "''50.0'' is not a valid integer value");
    }
    EXPECT_EQ(s.Thickness, 0.0508);  // stored before the failure
    t = TInputTexts{};
    t.Text(fFrontRadiation) = u"0.04";
    EXPECT_THROW(ApplyInputs(t, u',', s), EConvertError);
    t.Text(fFrontRadiation) = u"0,04";
    t.Text(fThickness) = u"50,8";
    EXPECT_NO_THROW(ApplyInputs(t, u',', s));
    EXPECT_EQ(s.FrontRadiation, 0.04);
}

TEST(RunSetup, RefusalsNameFieldAndValueAsTyped)
{
    struct Case {
        const char* name;
        void (*spoil)(TInputTexts&);
        const char* caption;
        const char* option;
    };
    const Case cases[] = {
        {"zero step", [](TInputTexts& t) { t.Text(fTimeStep) = u"0"; }, "\"Time Step\" is 0: it must be greater than 0 s",
         "\"--time-step\" is 0:"},
        {"negative step", [](TInputTexts& t) { t.Text(fTimeStep) = u"-1"; }, "\"Time Step\" is -1", "\"--time-step\" is -1"},
        {"no element", [](TInputTexts& t) { t.Text(fElementCount) = u"0"; }, "\"Mirror Elements\" is 0",
         "\"--elements\" is 0"},
        {"negative elements", [](TInputTexts& t) { t.Text(fElementCount) = u"-5"; }, "\"Mirror Elements\" is -5",
         "\"--elements\" is -5"},
        {"negative period", [](TInputTexts& t) { t.Text(fDuration) = u"-1"; }, "\"Simulation Duration\" is -1",
         "\"--duration\" is -1"},
        {"flat disc", [](TInputTexts& t) { t.Text(fThickness) = u"0"; }, "\"Mirror Thickness\" is 0", "\"--thickness\" is 0"},
        {"period beyond the range", [](TInputTexts& t) { t.Text(fDuration) = u"1e307"; },
         "\"Simulation Duration\" is 1e307: it is beyond", "\"--duration\" is 1e307:"},
        {"negative film", [](TInputTexts& t) { t.Text(fFrontFilm) = u"-10"; }, "\"Front Film Coefficient\" is -10",
         "\"--front-film\" is -10"},
        {"negative emissivity", [](TInputTexts& t) { t.Text(fBackRadiation) = u"-0.1"; },
         "\"Back Radiation\" is -0.1: it must be between 0 and 1", "\"--back-radiation\" is -0.1"},
        {"emissivity above 1", [](TInputTexts& t) { t.Text(fFrontRadiation) = u"1.5"; },
         "\"Front Radiation\" is 1.5: it must be between 0 and 1", "\"--front-radiation\" is 1.5"},
        {"below absolute zero", [](TInputTexts& t) { t.Text(fInitialMirrorTemp) = u"-300"; },
         "\"Initial Mirror Temperature\" is -300: it must be between -273 and 1000 \u00b0C",
         "\"--mirror-temp\" is -300"},
        {"air below absolute zero", [](TInputTexts& t) { t.Text(fFinalAirTemp) = u"-273.5"; },
         "\"Final Air Temperature\" is -273.5", "\"--air-end\" is -273.5"},
        {"elements too thin", [](TInputTexts& t) { t.Text(fThickness) = u"1e-320"; },
         "\"Mirror Thickness\" is 1e-320: the elements would be too thin", "\"--thickness\" is 1e-320"},
        {"step that stops the clock", [](TInputTexts& t) { t.Text(fTimeStep) = u"1e-320"; },
         "\"Time Step\" is 1e-320: it is too small", "\"--time-step\" is 1e-320"},
        {"step too small for the period",
         [](TInputTexts& t) {
             t.Text(fDuration) = u"1e9";
             t.Text(fTimeStep) = u"1e-6";
         },
         "\"Time Step\" is 1e-6: it is too small", "\"--time-step\" is 1e-6"},
        // Found by fuzzing: coefficients finite on their own whose products
        // in the elimination are not.
        {"step beyond the elimination's range",
         [](TInputTexts& t) {
             t.Text(fTimeStep) = u"1.1773127589098302e+308";
             t.Text(fFrontRadiation) = u"0";
         },
         "\"Time Step\" is 1.1773127589098302e+308: it is beyond", "\"--time-step\" is 1.1773127589098302e+308"},
        {"disc beyond the range",
         [](TInputTexts& t) {
             t.Text(fThickness) = u"7.68425692941147E307";
             t.Text(fTimeStep) = u"9.2352078692926788e+307";
         },
         "\"Mirror Thickness\" is 7.68425692941147E307: it is beyond", "\"--thickness\" is 7.684"},
        {"radiation from a cold face beyond the range",
         [](TInputTexts& t) {
             t.Text(fThickness) = u"1e150";
             t.Text(fElementCount) = u"1";
             t.Text(fInitialMirrorTemp) = u"-201";
             t.Text(fInitialAirTemp) = u"-201";
             t.Text(fFinalAirTemp) = u"-91";
             t.Text(fTimeStep) = u"5.99231044954105E307";
             t.Text(fFrontRadiation) = u"0.12";
             t.Text(fBackRadiation) = u"0.12";
         },
         "\"Time Step\" is 5.99231044954105E307: it is beyond", "\"--time-step\" is 5.99"},
        {"step too long for such thin elements",
         [](TInputTexts& t) {
             t.Text(fThickness) = u"0.0000000000000032";
             t.Text(fElementCount) = u"212";
             t.Text(fTimeStep) = u"43038";
             t.Text(fFrontRadiation) = u"0";
         },
         "\"Time Step\" is 43038: it is too long for elements this thin; the longest step for them is 3.264E-022 s",
         "\"--time-step\" is 43038: it is too long"},
        {"radiation unstable",
         [](TInputTexts& t) {
             t.Text(fThickness) = u"1";
             t.Text(fFrontFilm) = u"0";
             t.Text(fBackFilm) = u"0";
             t.Text(fFrontRadiation) = u"1";
             t.Text(fTimeStep) = u"3600";
             t.Text(fDuration) = u"720";
         },
         "\"Time Step\" is 3600: the faces' radiation makes the model unstable beyond 342.6 s",
         "\"--time-step\" is 3600: the faces'"},
    };
    for (const auto& c : cases) {
        TInputTexts t;
        c.spoil(t);
        TBrennicOneD s;
        ApplyInputs(t, u'.', s);
        for (const auto& [naming, expected] :
             {std::pair{TFieldNaming::Caption, c.caption}, std::pair{TFieldNaming::Option, c.option}}) {
            try {
                PlanRun(s, u'.', &t, naming, TMemoryUse::Streams);
                ADD_FAILURE() << c.name;
            } catch (const EFieldError& e) {
                EXPECT_EQ(std::string(e.what()).rfind(expected, 0), 0u) << c.name << ": " << e.what();
            }
        }
    }
    TInputTexts zero;
    zero.Text(fDuration) = u"0";
    TBrennicOneD s;
    ApplyInputs(zero, u'.', s);
    EXPECT_EQ(PlanRun(s, u'.').StripWidth, 1);
}

TEST(RunSetup, MemoryLimitsCountTheSolverAndWhatIsKept)
{
    struct Case {
        const char* name;
        const char16_t* elements;
        const char16_t* duration;
        const char16_t* step;
        TMemoryUse use;
        const char* refusal;
    };
    const Case cases[] = {
        {"many small steps kept", u"50", u"100000", u"0.0001", TMemoryUse::KeepsResults, "The run is too large"},
        {"steps beyond the strip", u"2000000000", u"120", u"10", TMemoryUse::KeepsResults, "The run is too large"},
        {"long period kept", u"50", u"1e12", u"10", TMemoryUse::KeepsResults, "The run is too large"},
        {"50 million elements, no step", u"50000000", u"0", u"10", TMemoryUse::KeepsResults, "The run is too large"},
        {"streamed rows need no memory", u"50", u"1e12", u"10", TMemoryUse::Streams, nullptr},
        {"streamed solver arrays", u"100000000", u"0", u"10", TMemoryUse::Streams,
         "\"--elements\" is 100000000: so many elements"},
        {"a million elements streamed", u"1000000", u"0", u"10", TMemoryUse::Streams, nullptr},
    };
    for (const auto& c : cases) {
        TInputTexts t;
        t.Text(fElementCount) = c.elements;
        t.Text(fDuration) = c.duration;
        t.Text(fTimeStep) = c.step;
        TBrennicOneD s;
        ApplyInputs(t, u'.', s);
        if (!c.refusal) {
            EXPECT_NO_THROW(PlanRun(s, u'.', &t, TFieldNaming::Option, c.use)) << c.name;
            continue;
        }
        try {
            PlanRun(s, u'.', &t, TFieldNaming::Option, c.use);
            ADD_FAILURE() << c.name;
        } catch (const EBrennicError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.refusal, 0), 0u) << c.name << ": " << e.what();
        }
    }
    // The estimate covers the solver's eight arrays and the profile.
    TBrennicOneD s;
    ApplyInputs(TInputTexts{}, u'.', s);
    s.ElementCount = 1000;
    s.Duration = 0;
    EXPECT_GE(RunMemoryBytes(s, TMemoryUse::KeepsResults), 8 * 8 * 1002 + 16 * 1000);
    EXPECT_GE(RunMemoryBytes(s, TMemoryUse::Streams), 8 * 8 * 1002);
}

TEST(RunSetup, OrdinaryMirrorsAreNeverRefusedForRadiation)
{
    // 10 mm and thicker, any listed glass, steps up to 10 minutes, both faces
    // fully emissive, from a warm room into cold air.
    for (const char16_t* thickness : {u"10", u"25", u"50.8", u"100"})
        for (int material = 0; material < GlassMaterialCount; ++material)
            for (const char16_t* step : {u"1", u"60", u"600"}) {
                TInputTexts t;
                t.Text(fThickness) = thickness;
                t.Material = material;
                t.Text(fTimeStep) = step;
                t.Text(fFrontRadiation) = u"1";
                t.Text(fBackRadiation) = u"1";
                t.Text(fInitialMirrorTemp) = u"35";
                t.Text(fFinalAirTemp) = u"-20";
                TBrennicOneD s;
                ApplyInputs(t, u'.', s);
                EXPECT_NO_THROW(PlanRun(s, u'.', &t)) << material << " " << ToUtf8(step) << " " << ToUtf8(thickness);
            }
}

TEST(RunSetup, UnlikelyMirrorsRunWithANote)
{
    struct Case {
        const char* name;
        std::u16string value;
        int field_id;
        const char* note;  // nullptr: no note
    };
    const Case cases[] = {
        {"the defaults", u"", -1, nullptr},
        {"a typed metre", u"0.4", fThickness, "\"Mirror Thickness\" is 0.4 mm, thinner than any telescope mirror"},
        {"3 mm is a thin but real mirror", u"3", fThickness, nullptr},
        {"a thick disc for its diameter", u"90", fThickness,
         "\"Mirror Thickness\" 90 mm is more than a third of \"Mirror Diameter\" 200 mm"},
        {"ten steps are enough", u"720", fTimeStep, nullptr},
        {"fewer than ten steps", u"721", fTimeStep, "\"Time Step\" 721 s is more than a tenth of"},
    };
    for (const Case& c : cases) {
        TInputTexts t;
        if (c.field_id >= 0)
            t.Text(c.field_id) = c.value;
        TBrennicOneD s;
        ApplyInputs(t, u'.', s);
        const std::vector<std::string> notes = PlausibilityNotes(s, TFieldNaming::Caption);
        if (!c.note) {
            EXPECT_TRUE(notes.empty()) << c.name << ": " << (notes.empty() ? "" : notes[0]);
            continue;
        }
        ASSERT_EQ(notes.size(), 1u) << c.name;
        EXPECT_EQ(notes[0].rfind(c.note, 0), 0u) << c.name << ": " << notes[0];
    }
}

TEST(StripPalette, TableEntriesAndIndex)
{
    const auto p = MakeStripPalette();
    struct Entry {
        int index;
        std::uint32_t color;
    };
    const Entry table[] = {
        {0, 0x00EEEEEE},   {1, 0xFF00D21D},   {32, 0xFF7FF000},  {64, 0xFFDCFF00},
        {128, 0xFFFFB115}, {192, 0xFFFF6726}, {255, 0xFFFF3333},
    };
    for (const auto& e : table) EXPECT_EQ(p[e.index], e.color) << e.index;
    for (int i = 1; i < 256; ++i) EXPECT_EQ(p[i] >> 24, 0xFFu);

    struct Idx {
        double v;
        int index;
    };
    const Idx cases[] = {
        {0, 1},        {-0.5, 1},       {std::numeric_limits<double>::quiet_NaN(), 0},
        {0.5 / 6, 22}, {1.0 / 6, 43},   {3.0 / 6, 128},
        {0.75, 191},   {1, 255},        {10.0 / 6, 255},
        {1e-9, 1},     {0.999999, 255}, {std::numeric_limits<double>::infinity(), 255},
    };
    for (const auto& c : cases) EXPECT_EQ(StripColorIndex(c.v), c.index) << c.v;
    EXPECT_EQ(StripColorIndex(std::fabs(8.0 - 10.0) / 6), StripColorIndex(std::fabs(12.0 - 10.0) / 6));
    // The quick index is the half-to-even rounding of v * 254, plus one,
    // across the scale and at the halves between two indices.
    std::vector<double> values;
    for (int k = 0; k < 254; ++k) {
        const double half = (k + 0.5) / 254;
        values.insert(values.end(), {half, std::nextafter(half, 0.0), std::nextafter(half, 1.0)});
    }
    for (int i = 1; i < 100000; ++i) values.push_back(i / 100000.0);
    for (double v : values) EXPECT_EQ(StripColorIndex(v), RoundHalfEven(v * 254) + 1) << v;
}

TEST(RunSetup, RoundHalfToEven)
{
    EXPECT_EQ(RoundHalfEven(190.5), 190);
    EXPECT_EQ(RoundHalfEven(191.5), 192);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    // The same as the library's to-nearest-even rounding, signed zeros and
    // the neighbours of the halves included, whatever mode is set.
    std::vector<double> values{-0.5, -0.4, 0.5, 1.5, 2.5, 4503599627370495.5, -4503599627370495.5, 1e300,
                               std::numeric_limits<double>::quiet_NaN()};
    for (double h = -64.5; h < 64; h += 1) {
        values.push_back(h);
        values.push_back(std::nextafter(h, 1e9));
        values.push_back(std::nextafter(h, -1e9));
    }
    for (const int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO, FE_TONEAREST}) {
        std::fesetround(mode);
        for (double v : values) {
            std::fesetround(FE_TONEAREST);
            const double want = std::nearbyint(v);
            std::fesetround(mode);
            const double got = RoundHalfEven(v);
            if (std::isnan(v))
                EXPECT_TRUE(std::isnan(got));
            else
                EXPECT_TRUE(got == want && std::signbit(got) == std::signbit(want)) << v << " in mode " << mode;
        }
    }
    std::fesetround(FE_TONEAREST);
}

TEST(Decimator, KeepsAtMostLowAndHighPerColumnAndTheEnds)
{
    std::vector<TPoint> out;
    TDecimator fresh;  // usable before it is told a range
    fresh.Add({0.5, 3});
    fresh.Add({0.7, 1});
    fresh.Output(out);
    EXPECT_EQ(out, (std::vector<TPoint>{{0.5, 3}, {0.7, 1}}));

    TDecimator d;
    d.SetRange(0, 10, 5);  // columns 2 units wide
    const std::vector<TPoint> pts{{-1, 9}, {-0.5, 8}, {0, 5}, {0.5, 7}, {1, 2},  {1.5, 4},
                                  {4, 6},  {4.5, 6},  {5, 6}, {10, 1},  {11, 0}, {12, -1}};
    d.Rebuild(pts);
    d.Output(out);
    EXPECT_EQ(out, (std::vector<TPoint>{{-0.5, 8}, {0.5, 7}, {1, 2}, {4, 6}, {5, 6}, {10, 1}, {11, 0}}));
    // A long run costs at most two points per column.
    TDecimator many;
    many.SetRange(0, 1, 100);
    for (int i = 0; i <= 100000; ++i) many.Add({i / 100000.0, std::sin(i * 0.01)});
    many.Output(out);
    EXPECT_LE(out.size(), 200u);
    EXPECT_EQ(out.back().x <= 1.0, true);
}

// A strip far longer than its view: a new width costs the same as for a short
// run, each pixel stays within a level of the true average of a smooth strip,
// and cells written afterwards give what a rebuild would.
TEST(StripRaster, ALongStripSummedBySamplesStaysTrueAndConsistent)
{
    const TStripPalette palette = MakeStripPalette();
    TByteMap map;
    constexpr std::int32_t Width = 200000, Height = 40;
    map.SetSize(Width, Height);
    for (std::int32_t x = 0; x < Width; ++x)
        for (std::int32_t y = 0; y < Height; ++y)
            map.SetValue(x, y, std::uint8_t(1 + (std::int64_t(x) * 254) / Width));
    TStripRaster raster;
    raster.Rebuild(map, palette, 100, 10);
    std::vector<std::uint32_t> pixels;
    raster.Render(pixels);
    ASSERT_EQ(pixels.size(), 1000u);
    for (int tx = 0; tx < 100; ++tx) {
        // The exact average of the pixel's 2000 columns, channel by channel.
        std::array<std::uint64_t, 3> sum{};
        for (std::int32_t x = tx * 2000; x < (tx + 1) * 2000; ++x)
            for (int c = 0; c < 3; ++c) sum[std::size_t(c)] += (palette[map.Value(x, 0)] >> (16 - 8 * c)) & 0xFF;
        for (int c = 0; c < 3; ++c) {
            const double exact = double(sum[std::size_t(c)]) / 2000;
            const double shown = double((pixels[std::size_t(tx)] >> (16 - 8 * c)) & 0xFF);
            EXPECT_NEAR(shown, exact, 3.0) << "pixel " << tx << " channel " << c;
        }
    }
    // Cells written after the rebuild: sampled ones and the ones between.
    for (std::int32_t x : {0, 1, 12345, 199999})
        for (std::int32_t y : {0, 39}) {
            const std::uint8_t old = map.Value(x, y);
            map.SetValue(x, y, 255);
            raster.CellChanged(x, y, old, 255, palette);
        }
    std::vector<std::uint32_t> again;
    raster.Render(again);
    TStripRaster fresh;
    fresh.Rebuild(map, palette, 100, 10);
    std::vector<std::uint32_t> rebuilt;
    fresh.Render(rebuilt);
    EXPECT_EQ(again, rebuilt);
}
