// Temperatures and lengths shown in degF and inches: field texts both ways,
// unit labels, refusals that quote what was typed, and the headline.
#include "app/core/inputs/FieldUnits.h"
#include "app/core/run/Engine.h"
#include "app/core/run/Headline.h"
#include "app/core/run/RunComparison.h"
#include "app/core/tables/DateTimeText.h"

#include <gtest/gtest.h>

using namespace brennic;

namespace {

constexpr TDisplayUnits Fahrenheit{TTemperatureUnit::Fahrenheit, TLengthUnit::Millimetre};
constexpr TDisplayUnits Inches{TTemperatureUnit::Celsius, TLengthUnit::Inch};
constexpr TDisplayUnits Imperial{TTemperatureUnit::Fahrenheit, TLengthUnit::Inch};

}  // namespace

TEST(DisplayUnits, FieldTextsBothWays)
{
    struct Case {
        const char* Name;
        int Field;
        TDisplayUnits Units;
        char16_t Decimal;
        std::u16string Own, Shown;
    };
    const Case cases[] = {
        {"water freezes", fInitialMirrorTemp, Fahrenheit, u'.', u"0", u"32"},
        {"both scales meet", fInitialAirTemp, Fahrenheit, u'.', u"-40", u"-40"},
        {"a warm mirror", fInitialMirrorTemp, Imperial, u'.', u"20", u"68"},
        {"a comma decimal", fFinalAirTemp, Fahrenheit, u',', u"10,5", u"50,9"},
        {"two inches of glass", fThickness, Inches, u'.', u"50.8", u"2"},
        {"a tube", fTubeLength, Imperial, u'.', u"254", u"10"},
        {"a site in feet", fSiteElevation, Inches, u'.', u"304.8", u"1000"},
        {"a fan: opening and distance, not its speed", fBackFan, Inches, u'.', u"76.2,2.5,177.8", u"3,2.5,7"},
        {"a fan with comma decimals", fBackFan, Inches, u',', u"25,4;2,5;50,8", u"1;2,5;2"},
        {"degF leaves lengths alone", fThickness, Fahrenheit, u'.', u"50.8", u"50.8"},
        {"inches leave temperatures alone", fDewPoint, Inches, u'.', u"3.5", u"3.5"},
        {"an angle is an angle", fAltitude, Imperial, u'.', u"45", u"45"},
        {"seeing in arc-seconds", fSeeing, Imperial, u'.', u"0.5,0.25,0.1", u"0.5,0.25,0.1"},
        {"an empty dew point stays empty", fDewPoint, Fahrenheit, u'.', u"", u""},
        {"a word is quoted as typed", fInitialMirrorTemp, Fahrenheit, u'.', u"warm", u"warm"},
        {"a list with a bad item as typed", fBackFan, Inches, u'.', u"80,x,180", u"80,x,180"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(FieldTextShown(c.Field, c.Own, c.Units, c.Decimal), c.Shown);
        EXPECT_EQ(FieldTextFromShown(c.Field, c.Shown, c.Units, c.Decimal), c.Own);
    }
    // What cannot be written exactly is shown to six digits and read back
    // to fifteen, never as a rounded value of the typed one.
    EXPECT_EQ(FieldTextShown(fDiameter, u"200", Inches, u'.'), u"7.87402");
    EXPECT_EQ(FieldTextFromShown(fDiameter, u"8", Inches, u'.'), u"203.2");
    EXPECT_EQ(FieldTextFromShown(fInitialMirrorTemp, u"51", Fahrenheit, u'.'), u"10.5555555555556");
    EXPECT_EQ(FieldTextShown(fInitialMirrorTemp, u"-17.7777777777778", Fahrenheit, u'.'), u"0");
}

TEST(DisplayUnits, LabelsAndRefusalsSayTheUnitShown)
{
    EXPECT_EQ(FieldUnitShown(fBackFan, Inches), "in, m/s, in");
    EXPECT_EQ(FieldUnitShown(fBackFan, Fahrenheit), "mm, m/s, mm");
    EXPECT_EQ(FieldUnitShown(fDewPoint, Imperial), "\u00b0F");
    EXPECT_EQ(FieldUnitShown(fSiteElevation, Imperial), "ft");
    EXPECT_EQ(FieldUnitShown(fFrontFilm, Imperial), "W/m\u00b2K");
    // A kept run's label names its values as the fields show them.
    TInputTexts kept;
    kept.Text(fThickness) = u"38.1";
    kept.Text(fInitialMirrorTemp) = u"25";
    EXPECT_EQ(DifferenceLabel(kept, TInputTexts{}, u'.', Imperial), "thickness 1.5 in, mirror temp 77 \u00b0F");
    EXPECT_EQ(DifferenceLabel(kept, TInputTexts{}, u'.'), "thickness 38.1, mirror temp 25");
    // A refusal from the run, in the field's own unit, gives the value as
    // typed in the unit shown beside it.
    TRequestSource source;
    source.Texts.Text(fDiameter) = FieldTextFromShown(fDiameter, u"0.2", Inches, u'.');
    try {
        BuildRunRequest(source);
        FAIL() << "a 5 mm mirror ran";
    } catch (const EFieldError& e) {
        ASSERT_EQ(e.Field, fDiameter);
        EXPECT_EQ(RefusalInShownUnits(e.Field, u"0.2", source.Texts.Text(fDiameter), e.Rule, Inches,
                                      TFieldNaming::Caption),
                  "\"Mirror Diameter\" is 0.2 in (5.08 mm): " + e.Rule);
        EXPECT_NE(e.Rule.find("10 and 10000 mm"), std::string::npos) << e.Rule;
    }
}

TEST(DisplayUnits, TheHeadlineGivesItsToleranceInTheUnitShown)
{
    TRequestSource source;
    const TRunRequest request = BuildRunRequest(source);
    TRunRecord record;
    record.StartWithoutRows(request);
    RunEngine(request, [&](std::span<const double> p, std::span<const double> t, double time) { record.Add(p, t, time); });
    const std::string celsius = Headline(record, u'.', false);
    const std::string fahrenheit = Headline(record, u'.', false, TTemperatureUnit::Fahrenheit);
    ASSERT_NE(celsius.find("0.5 \u00b0C above the air"), std::string::npos) << celsius;
    // The same sentence, a difference of 0.5 K being 0.9 degF (no offset).
    std::string expected = celsius;
    const std::string half = "0.5 \u00b0C";
    expected.replace(expected.find(half), half.size(), "0.9 \u00b0F");
    EXPECT_EQ(fahrenheit, expected);
    // Clock times of dated air, and what stands for one beyond the calendar.
    EXPECT_EQ(ClockTimeText(DaysFromCivil(2025, 11, 20) * 86400.0 + 18 * 3600 + 4 * 60), "18:04");
    EXPECT_EQ(ClockTimeText(1e300), DateTimeText(1e300));
    EXPECT_DOUBLE_EQ(TemperatureShown(100, TTemperatureUnit::Fahrenheit), 212);
    EXPECT_DOUBLE_EQ(TemperatureDifferenceShown(100, TTemperatureUnit::Fahrenheit), 180);
}
