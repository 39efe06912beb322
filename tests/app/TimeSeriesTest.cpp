#include "app/core/tables/AirSource.h"
#include "app/core/tables/ColumnRoles.h"
#include "app/core/results/ResultText.h"
#include "app/core/run/RunRecord.h"
#include "app/core/inputs/RunSetup.h"
#include "app/core/files/RunSummary.h"
#include "app/core/tables/TimeSeries.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <filesystem>
#include <fstream>

using namespace brennic;
namespace fs = std::filesystem;

namespace {

std::string Refusal(const std::string& text)
{
    try {
        ParseTimeTable(text, "night.csv");
    } catch (const ETableError& e) {
        return e.what();
    }
    return "accepted";
}

}  // namespace

TEST(TimeTable, ReadsEachAcceptedLayout)
{
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> names;
        bool clock;
        std::vector<double> times;  // s
        std::vector<double> first;  // the first value column
    };
    const Case cases[] = {
        {"own export, comma and full stop",
         "\"Time\",\"T_Ambient\",\"T_Surface\",\"T_Back\",\"T_Core\"\r\n0,10,20,20,20\r\n600,9.5,17.96,18.1,19\r\n",
         {"Time", "T_Ambient", "T_Surface", "T_Back", "T_Core"},
         false,
         {0, 600},
         {10, 9.5}},
        {"own export, semicolon and comma",
         "\"Time\";\"T_Ambient\";\"T_Surface\";\"T_Back\";\"T_Core\"\r\n0;10;20;20;20\r\n600;9,5;17,96;18,1;19\r\n",
         {"Time", "T_Ambient", "T_Surface", "T_Back", "T_Core"},
         false,
         {0, 600},
         {10, 9.5}},
        {"generic minutes, tab separated, comma decimals",
         "minutes\ttemp\n0\t5,5\n30\t5,25\n",
         {"minutes", "temp"},
         false,
         {0, 1800},
         {5.5, 5.25}},
        {"ISO date-times with seconds and a BOM",
         "\xEF\xBB\xBFtime,air\n2026-12-08 18:00:00,4\n2026-12-08 18:01:30,3.5\n",
         {"time", "air"},
         true,
         {1796752800, 1796752890},
         {4, 3.5}},
        {"weather export: metadata, a blank line, units in the header",
         "latitude,longitude,elevation\n52.52,13.42,38.0\n\ntime,temperature_2m (\u00b0C),dew_point_2m (\u00b0C)\n"
         "2026-12-08T18:00,5.1,1.2\n2026-12-08T19:00,3.9,\n",
         {"time", "temperature_2m (\u00b0C)", "dew_point_2m (\u00b0C)"},
         true,
         {1796752800, 1796756400},
         {5.1, 3.9}},
        {"offsets applied",
         "time;t\n2026-12-08T19:00+01:00;1\n2026-12-08T18:30Z;2\n",
         {"time", "t"},
         true,
         {1796752800, 1796754600},
         {1, 2}},
    };
    for (const auto& c : cases) {
        const TTimeTable t = ParseTimeTable(c.text, "x.csv");
        EXPECT_EQ(t.Names, c.names) << c.name;
        EXPECT_EQ(t.ClockTimes, c.clock) << c.name;
        EXPECT_EQ(t.Times, c.times) << c.name;
        EXPECT_EQ(t.Columns.at(0), c.first) << c.name;
    }
    const TTimeTable weather = ParseTimeTable(cases[4].text, "x.csv");
    EXPECT_TRUE(std::isnan(weather.Columns[1][1]));  // an empty cell: no sample
    EXPECT_EQ(weather.Lines, (std::vector<std::size_t>{5, 6}));
    EXPECT_EQ(DefaultAirColumn(weather), 1);
    EXPECT_EQ(ColumnContaining(weather, "dew"), 2);
    EXPECT_EQ(FindColumn(weather, "Temperature_2m"), 1);
    EXPECT_EQ(ClockText(weather, weather.Times[1]), "19:00");
}

TEST(TimeTable, RefusalsNameTheFileTheLineAndWhatWasExpected)
{
    struct Case {
        const char* name;
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {"time going back", "time,t\n10,1\n20,2\n15,3\n",
         "night.csv, line 4: the time '15' does not come after the row before"},
        {"repeated time", "time,t\n10,1\n10,2\n", "night.csv, line 3: the time '10' does not come after"},
        {"comma decimal where commas separate", "time,t\n0,1\n1,1,5\n",
         "night.csv, line 3: 3 fields, but the header names 2"},
        {"a bad time", "time,t\n0,1\nnoon,2\n",
         "night.csv, line 3: the time 'noon' is neither a date-time nor a number"},
        {"mixed times", "time,t\n2026-12-08T18:00,1\n60,2\n", "night.csv, line 3: the time '60' is not a date-time"},
        {"one column", "temperature\n1\n2\n", "night.csv, line 1: the header has a single column: expected a header"},
        {"no rows", "time,t\n", "night.csv: no rows of numbers: expected"},
        {"only a header and a blank", "time,t\n\n", "night.csv: no rows of numbers: expected"},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0", 11), "night.csv: this is not a text file: expected"},
        {"empty", "", "night.csv: no table found: expected"},
    };
    for (const auto& c : cases) EXPECT_EQ(Refusal(c.text).rfind(c.message, 0), 0u) << c.name << ": " << Refusal(c.text);
}

TEST(TimeTable, TextInAColumnIsRefusedOnlyWhenTheColumnIsUsed)
{
    struct Case {
        const char* name;
        std::string text;
        int column;
        const char* message;  // nullptr: the column reads
    };
    const Case cases[] = {
        {"text in the used column", "time,t,u\n0,1,2\n1,x,3\n", 1,
         "night.csv, line 3: column \"t\" has 'x', which is not a number"},
        {"text beside it", "time,t,u\n0,1,2\n1,x,3\n", 2, nullptr},
        {"an infinite value", "time,t\n0,inf\n1,2\n", 1, "night.csv, line 2: column \"t\" has 'inf'"},
        {"wind directions never read", "time,WindDirection,TemperatureC\n0,WSW,5\n1,N,4\n", 2, nullptr},
        {"a column of gaps only", "time,t,u\n0,NaN,2\n1,---,3\n", 1, "night.csv: column \"t\" has no values"},
    };
    for (const auto& c : cases) {
        const TTimeTable t = ParseTimeTable(c.text, "night.csv");
        std::string outcome = "read";
        try {
            TSeries(t, c.column, 0);
        } catch (const ETableError& e) {
            outcome = e.what();
        }
        if (c.message)
            EXPECT_EQ(outcome.rfind(c.message, 0), 0u) << c.name << ": " << outcome;
        else
            EXPECT_EQ(outcome, "read") << c.name;
    }
}

TEST(TimeTable, SeriesInterpolateExactly)
{
    // Minutes 0, 10, 30 with 6, (empty), 3, 1: the empty cell is left out.
    const TTimeTable t = ParseTimeTable("min,air\n0,6\n10,\n30,3\n60,1\n", "x.csv");
    const TSeries s(t, 1, 0);
    EXPECT_EQ(s.Size(), 3u);
    struct Case {
        const char* name;
        double at;
        double air;
    };
    const Case cases[] = {
        {"before the first sample", -100, 6},
        {"at the first sample", 0, 6},
        {"between", 600, 6 + ((3.0 - 6) * 600) / 1800},
        {"at a sample", 1800, 3},
        {"just after a sample", 1801, 3 + ((1.0 - 3) * 1) / 1800},
        {"at the last sample", 3600, 1},
        {"after the last sample", 1e9, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(s.At(c.at), c.air) << c.name;
    // Backward queries after forward ones.
    EXPECT_EQ(s.At(100), 6 + ((3.0 - 6) * 100) / 1800);
    double lo, hi;
    s.Range(0, 1800, lo, hi);
    EXPECT_EQ(lo, 3);
    EXPECT_EQ(hi, 6);
    // A start moves time 0 of the run.
    const TSeries later(t, 1, 1800);
    EXPECT_EQ(later.At(0), 3);
}

TEST(TimeTable, StartsAtADateTimeOrTheNextClockTime)
{
    const TTimeTable t =
        ParseTimeTable("time,t\n2026-12-08T17:10,1\n2026-12-08T21:00,1\n2026-12-09T02:00,2\n", "x.csv");
    const double first = t.Times[0];
    EXPECT_EQ(RunStart(t, ""), first);
    EXPECT_EQ(RunStart(t, "18:00"), first + 50 * 60);
    EXPECT_EQ(RunStart(t, "01:30"), first + (8 * 60 + 20) * 60);
    EXPECT_EQ(RunStart(t, "17:10"), first);
    EXPECT_EQ(RunStart(t, "2026-12-08T20:00"), first + (2 * 60 + 50) * 60);
    for (const char* bad : {"25:00", "6pm", "18.00"}) EXPECT_THROW(RunStart(t, bad), ETableError) << bad;
    const TTimeTable minutes = ParseTimeTable("m,t\n0,1\n", "x.csv");
    EXPECT_THROW(RunStart(minutes, "18:00"), ETableError);
}

TEST(AirFile, TwoSamplesOnTheRampGiveTheRampsBytes)
{
    // 12 degC down to 4 over 120 minutes, as a file and as the ramp.
    brennic::test::TTempFile file("time,temp\n0,12\n120,4\n");
    TBrennicOneD ramp;
    TInputTexts texts;
    texts.Text(fInitialAirTemp) = u"12";
    texts.Text(fFinalAirTemp) = u"4";
    ApplyInputs(texts, u'.', ramp);
    TBrennicOneD fromFile = ramp;
    const auto air = TAirSource::Load({file.path.string(), "", "", "", "", "", ""});
    TAirSource::Apply(air, fromFile);
    EXPECT_EQ(fromFile.InitialAirTemp, 12);
    EXPECT_EQ(fromFile.FinalAirTemp, 4);
    auto table = [](TBrennicOneD& s) {
        std::u16string text;
        s.OnStep = [&](std::span<const double>, std::span<const double> t, double time) {
            AppendResultRow(text, StepValues(t, time), TRegionalSettings{});
            text += u"\r\n";
        };
        s.Execute();
        return text;
    };
    EXPECT_EQ(table(fromFile), table(ramp));
}

TEST(AirFile, SkyAndDewPointColumnsTakePart)
{
    brennic::test::TTempFile file(
        "time,temperature,sky temperature,dew point\n2026-12-08T18:00,8,-30,6\n2026-12-08T20:00,6,-40,5.8\n");
    TBrennicOneD s;
    TInputTexts texts;
    texts.Text(fDuration) = u"120";
    texts.Text(fFrontRadiation) = u"0.9";
    ApplyInputs(texts, u'.', s);
    const auto air = TAirSource::Load({file.path.string(), "", "", "", "", "", ""});
    ASSERT_TRUE(air->Sky && air->Dew);
    TAirSource::Apply(air, s);
    const TAirExtremes extremes = air->Extremes(s.Duration);
    EXPECT_EQ(extremes.Lowest, 5.8);  // the dew point is drawn too
    EXPECT_EQ(extremes.Highest, 8);
    EXPECT_EQ(extremes.ColdestSky, -40);
    const TRunPlan plan = PlanRun(s, u'.', &texts, TFieldNaming::Caption, TMemoryUse::KeepsResults, &extremes);
    TRunRecord record;
    record.Start(s, plan, texts, TRegionalSettings{}, DefaultTolerances, {}, air);
    s.OnStep = [&](std::span<const double> p, std::span<const double> t, double time) { record.Add(p, t, time); };
    s.Execute();
    // A warmer sky than the black one at 200 K cools the coated surface less.
    TBrennicOneD blackSky = s;
    blackSky.SkyTemperature = nullptr;
    double surfaceBlack = 0;
    blackSky.OnStep = [&](std::span<const double>, std::span<const double> t, double) { surfaceBlack = t[1]; };
    blackSky.Execute();
    EXPECT_GT(record.Reports.back().Surface, surfaceBlack);
    // The surface falls below the dew point during the run.
    ASSERT_TRUE(record.DewRiskFrom.has_value());
    const std::size_t first = std::size_t(*record.DewRiskFrom / 10);
    EXPECT_LT(record.Reports[first].Surface, air->Dew->At(*record.DewRiskFrom));
    EXPECT_GE(record.Reports[first - 1].Surface, air->Dew->At(record.Reports[first - 1].Time));
    const std::string text = SummaryText(record, u'.');
    EXPECT_NE(text.find("Note: Dew risk from "), std::string::npos) << text;
    EXPECT_NE(text.find("(19:"), std::string::npos) << text;
    EXPECT_NE(SummaryJson(record).find("\"dew_risk_minutes\":" + std::to_string(*record.DewRiskFrom / 60).substr(0, 4)),
              std::string::npos)
        << SummaryJson(record);
}

TEST(AirFile, RefusalsNameTheFileLineAndColumn)
{
    brennic::test::TTempFile hot("time,temp\n0,12\n60,1200\n");
    brennic::test::TTempFile good("time,temp,other\n0,12,1\n60,10,2\n");
    struct Case {
        const char* name;
        TAirFileChoice choice;
        std::string message;
    };
    const Case cases[] = {
        {"beyond the model's range",
         {hot.path.string(), "", "", "", "", "", ""},
         hot.path.string() + ", line 3: column \"temp\" has 1200: temperatures must be between -273 and 1000"},
        {"no such column",
         {good.path.string(), "air", "", "", "", "", ""},
         good.path.string() + ": there is no air column \"air\" (the columns are temp (12), other (1))"},
        {"missing file", {"/nonexistent/night.csv", "", "", "", "", "", ""}, "/nonexistent/night.csv: cannot be read"},
        {"clock start without clock times",
         {good.path.string(), "", "18:00", "", "", "", ""},
         good.path.string() + ": a start of '18:00' needs a file with clock times"},
    };
    for (const auto& c : cases) {
        try {
            TAirSource::Load(c.choice);
            ADD_FAILURE() << c.name;
        } catch (const ETableError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << c.name << ": " << e.what();
        }
    }
}
