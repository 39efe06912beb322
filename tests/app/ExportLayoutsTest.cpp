// Weather-service and logger files as they are downloaded: each read with
// the air in °C at the right local times, the dew point where there is one,
// and notes that say what was done to them.
#include "app/core/tables/AirSource.h"
#include "app/core/tables/ColumnRoles.h"
#include "tests/TempFolder.h"
#include "tests/app/CliRunner.h"
#include "tests/app/LayoutCheck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

using namespace brennic;

namespace {

const char* const OpenMeteoMeta =
    "latitude,longitude,elevation,utc_offset_seconds,timezone,timezone_abbreviation\n"
    "47.56,7.58,279.0,3600,Europe/Berlin,GMT+1\n\n";

}  // namespace

TEST_F(LocalClockBerlin, WeatherServiceExportsReadAsDownloaded)
{
    const TLayoutCase cases[] = {
        {"Open-Meteo hourly with NaN gaps",
         std::string(OpenMeteoMeta) +
             "time,temperature_2m (\u00b0C),dew_point_2m (\u00b0C),cloud_cover (%),wind_speed_10m (m/s)\n"
             "2025-11-20T17:00,5.3,2.9,100,1.2\n2025-11-20T18:00,4.8,2.7,90,1.0\n"
             "2025-11-20T19:00,NaN,NaN,80,0.8\n2025-11-20T20:00,3.9,2.1,70,0.9\n",
         {},
         "2025-11-20 17:00",
         "temperature_2m (\u00b0C)",
         {{0, 5.3}, {60, 4.8}, {120, (4.8 + 3.9) / 2}, {180, 3.9}},
         {{0, 2.9}, {180, 2.1}},
         {"1 row without a value skipped"}},
        {"Open-Meteo hourly, then a daily section",
         std::string(OpenMeteoMeta) +
             "time,temperature_2m (\u00b0C),dew_point_2m (\u00b0C)\n2025-11-20T17:00,5.3,2.9\n"
             "2025-11-20T18:00,4.8,2.7\n2025-11-20T19:00,4.4,2.5\n\n"
             "time,temperature_2m_max (\u00b0C),temperature_2m_min (\u00b0C)\n2025-11-20,9.1,2.0\n2025-11-21,8.0,1.5\n",
         {},
         "2025-11-20 17:00",
         "temperature_2m (\u00b0C)",
         {{0, 5.3}, {120, 4.4}},
         {{60, 2.7}},
         {"the table of lines 4 to 7 is read"}},
        {"Open-Meteo current, then hourly",
         std::string(OpenMeteoMeta) +
             "time,interval,temperature_2m (\u00b0C)\n2025-11-20T17:15,900,5.1\n\n"
             "time,temperature_2m (\u00b0C),dew_point_2m (\u00b0C)\n2025-11-20T17:00,5.3,2.9\n"
             "2025-11-20T18:00,4.8,2.7\n",
         {},
         "2025-11-20 17:00",
         "temperature_2m (\u00b0C)",
         {{0, 5.3}, {60, 4.8}},
         {{0, 2.9}},
         {"the table of lines 7 to 9 is read"}},
        {"Open-Meteo in Fahrenheit",
         std::string(OpenMeteoMeta) + "time,temperature_2m (\u00b0F),dew_point_2m (\u00b0F)\n"
                                      "2025-11-20T17:00,41.0,35.6\n2025-11-20T18:00,39.2,33.8\n",
         {},
         "2025-11-20 17:00",
         "temperature_2m (\u00b0F)",
         {{0, 5.0}, {60, 4.0}},
         {{0, 2.0}, {60, 1.0}},
         {"the air from column \"temperature_2m (\u00b0F)\", converted from \u00b0F", "the dew point from column"}},
        {"Open-Meteo Unix times at the place's offset",
         std::string(OpenMeteoMeta) + "time,temperature_2m (\u00b0C)\n1763654400,5.3\n1763658000,4.8\n",
         {},
         "2025-11-20 17:00",
         "temperature_2m (\u00b0C)",
         {{0, 5.3}, {60, 4.8}},
         {},
         {"shown at the place's offset the file gives (UTC+01:00)"}},
        {"meteoblue: metadata rows, compact times, humidity for the dew point",
         "location,Basel,Basel\nlat,47.55839,47.55839\nlon,7.57327,7.57327\nasl,279.0,279.0\n"
         "variable,Temperature,Relative Humidity\nunit,\u00b0C,%\nlevel,2 m elevation corrected,2 m\n"
         "resolution,hourly,hourly\naggregation,None,None\n"
         "timestamp,Basel Temperature [2 m elevation corrected],Basel Relative Humidity [2 m]\n"
         "20251120T1700,20,50\n20251120T1800,4.8,88\n",
         {},
         "2025-11-20 17:00",
         "Basel Temperature [2 m elevation corrected]",
         {{0, 20}, {60, 4.8}},
         {{0, 9.255174599}},
         {"by the Magnus formula"}},
    };
    for (const auto& c : cases) Check(c);
}

TEST_F(LocalClockBerlin, StationAndLoggerExportsReadAsDownloaded)
{
    const std::string davisUpper = "\t\tTemp\tHi\tLow\tOut\tDew\tWind\tWind\tWind\tHi\tHi\tWind\tHeat\tTHW\t\t\tIn\tIn\tIn\n";
    const std::string davisLower =
        "Date\tTime\tOut\tTemp\tTemp\tHum\tPt.\tSpeed\tDir\tRun\tSpeed\tDir\tChill\tIndex\tIndex\tBar\tRain\tTemp\tHum\tDew\n";
    const TLayoutCase cases[] = {
        {"Weather Underground PWS, \u00b0F, <br> and trailing commas",
         "\nTime,TemperatureF,DewpointF,PressureIn,WindDirection,WindDirectionDegrees,Humidity,Conditions,"
         "SoftwareType,DateUTC<br>\n<br>\n"
         "2025-11-20 17:00:00,41.0,37.4,30.05,WSW,248,89,,Weather Display,2025-11-20 16:00:00,\n<br>\n"
         "2025-11-20 18:00:00,39.2,35.6,30.06,W,270,90,,Weather Display,2025-11-20 17:00:00,\n<br>\n"
         "<!-- 0.082:0 -->\n",
         {},
         "2025-11-20 17:00",
         "TemperatureF",
         {{0, 5.0}, {60, 4.0}},
         {{0, 3.0}, {60, 2.0}},
         {"converted from \u00b0F"}},
        {"Weather Underground PWS in \u00b0C",
         "\nTime,TemperatureC,DewpointC,WindDirection<br>\n2025-11-20 17:00:00,5.3,2.9,WSW,\n<br>\n"
         "2025-11-20 18:00:00,4.8,2.7,W,\n<br>\n",
         {},
         "2025-11-20 17:00",
         "TemperatureC",
         {{0, 5.3}, {60, 4.8}},
         {{0, 2.9}},
         {}},
        {"Davis WeatherLink, day first, 24-hour, \u00b0C",
         davisUpper + davisLower +
             "20/11/25\t17:00\t5.3\t5.4\t5.2\t85\t2.9\t1.3\tWSW\t0.65\t3.1\tW\t5.3\t5.1\t5.1\t1013.2\t0.00\t21.1\t45\t8.7\n"
             "20/11/25\t17:30\t4.9\t5.3\t4.9\t86\t2.7\t---\t---\t0.00\t0.0\t---\t4.9\t4.7\t4.7\t1013.4\t0.00\t21.0\t45\t8.6\n",
         {},
         "2025-11-20 17:00",
         "Temp Out",
         {{0, 5.3}, {30, 4.9}},
         {{0, 2.9}, {30, 2.7}},
         {"dates read day first, as line 3 (20/11/25 17:00) requires"}},
        {"Davis WeatherLink, month first, 12-hour, \u00b0F",
         davisUpper + davisLower +
             "11/20/25\t5:00p\t41.0\t41.2\t40.8\t85\t37.4\t3.0\tWSW\t1.5\t7.0\tW\t41.0\t40.1\t40.1\t30.05\t0.00\t70.0\t45\t47.6\n"
             "11/20/25\t5:30p\t39.2\t41.0\t39.2\t86\t35.6\t---\t---\t0.00\t0.0\t---\t39.2\t38.3\t38.3\t30.06\t0.00\t69.8\t45\t47.5\n",
         {},
         "2025-11-20 17:00",
         "Temp Out",
         {{0, 5.0}, {30, 4.0}},
         {{0, 3.0}, {30, 2.0}},
         {"dates read month first", "temperatures are read as \u00b0F", "converted from \u00b0F"}},
        {"Ecowitt: the outdoor temperature, not the indoor one",
         "Time,Indoor Temperature(\u2103),Indoor Humidity(%),Outdoor Temperature(\u2103),Outdoor Humidity(%),"
         "Dew Point(\u2103),Feels Like(\u2103),Wind(m/s),Wind Direction(\u00b0),REL Pressure(hPa)\n"
         "2025-11-20 17:00,21.3,45,5.3,85,2.9,5.3,1.2,248,1013.2\n"
         "2025-11-20 17:05,21.3,45,5.1,86,2.8,5.1,1.0,250,1013.3\n",
         {},
         "2025-11-20 17:00",
         "Outdoor Temperature(\u2103)",
         {{0, 5.3}, {5, 5.1}},
         {{0, 2.9}},
         {}},
        {"Ecowitt in \u2109",
         "Time,Indoor Temperature(\u2109),Outdoor Temperature(\u2109),Dew Point(\u2109)\n"
         "2025-11-20 17:00,70.0,41.0,37.4\n2025-11-20 17:05,70.0,39.2,35.6\n",
         {},
         "2025-11-20 17:00",
         "Outdoor Temperature(\u2109)",
         {{0, 5.0}, {5, 4.0}},
         {{0, 3.0}},
         {"converted from \u00b0F"}},
        {"Lascar EasyLog: a record number before the time",
         "Logger 1,Time,Celsius(\u00b0C),Humidity(%rh),Dew Point(\u00b0C),Serial Number\n"
         "1,20/11/2025 17:00:00,5.3,85.0,2.9,012345678\n2,20/11/2025 17:10:00,5.0,86.0,2.8\n",
         {},
         "2025-11-20 17:00",
         "Celsius(\u00b0C)",
         {{0, 5.3}, {10, 5.0}},
         {{10, 2.8}},
         {}},
        {"Home Assistant history: outdoor entity, unavailable as a gap",
         "entity_id,state,last_changed\n"
         "sensor.indoor_temperature,21.0,2025-11-20T16:00:00.000Z\n"
         "sensor.indoor_temperature,21.1,2025-11-20T17:00:00.000Z\n"
         "sensor.outdoor_temperature,5.3,2025-11-20T16:00:00.000Z\n"
         "sensor.outdoor_temperature,unavailable,2025-11-20T16:30:00.000Z\n"
         "sensor.outdoor_temperature,4.3,2025-11-20T17:00:00.000Z\n"
         "sensor.outdoor_dew_point,2.9,2025-11-20T16:00:00.000Z\n"
         "sensor.outdoor_dew_point,unknown,2025-11-20T16:20:00.000Z\n"
         "sensor.outdoor_dew_point,2.5,2025-11-20T17:00:00.000Z\n",
         {},
         "2025-11-20 17:00",
         "sensor.outdoor_temperature",
         {{0, 5.3}, {30, 4.8}, {60, 4.3}},
         {{60, 2.5}},
         {"a history of 3 entities", "shown on this computer's clock (UTC+01:00)"}},
    };
    for (const auto& c : cases) Check(c);
}

TEST_F(LocalClockBerlin, SimpleLoggersWithAndWithoutHeader)
{
    TAirFileChoice indoor;
    indoor.AirColumn = "sensor.indoor_temperature";
    TAirFileChoice monthFirst;
    monthFirst.DateOrder = "mdy";
    TAirFileChoice chosenTime;
    chosenTime.TimeColumn = "logged";
    const TLayoutCase cases[] = {
        {"no header: the first line is a row",
         "2025-11-20 17:00,5.3\n2025-11-20 18:00,4.3\n", {}, "2025-11-20 17:00", "Column 2",
         {{0, 5.3}, {60, 4.3}}, {}, {"the file has no header"}},
        {"a header", "timestamp,temp_c\n2025-11-20 17:00,5.3\n2025-11-20 18:00,4.3\n", {}, "2025-11-20 17:00",
         "temp_c", {{0, 5.3}}, {}, {}},
        {"Date and Time columns, day.month.year",
         "Date,Time,Temp\n20.11.2025,17:00,5.3\n20.11.2025,17:30:00,4.3\n", {}, "2025-11-20 17:00", "Temp",
         {{30, 4.3}}, {}, {}},
        {"dd.mm.yyyy HH:MM:SS, semicolons and decimal commas",
         "Zeit;Temperatur\n20.11.2025 17:00:00;5,3\n20.11.2025 18:00:00;4,3\n", {}, "2025-11-20 17:00",
         "Temperatur", {{60, 4.3}}, {}, {}},
        {"Unix seconds, no header", "1763654400,5.3\n1763658000,4.3\n", {}, "2025-11-20 17:00", "Column 2",
         {{60, 4.3}}, {}, {"on the UTC scale, shown on this computer's clock (UTC+01:00)"}},
        {"Unix milliseconds", "ms,temp\n1763654400000,5.3\n1763658000000,4.3\n", {}, "2025-11-20 17:00", "temp",
         {{60, 4.3}}, {}, {}},
        {"minutes stay minutes", "min,temp\n0,5.3\n90,4.3\n", {}, "1970-01-01 00:00", "temp", {{90, 4.3}}, {}, {}},
        {"a date order forced", "time,temp\n05/11/2025 17:00,5.3\n05/11/2025 18:00,4.3\n", monthFirst,
         "2025-05-11 17:00", "temp", {{60, 4.3}}, {}, {}},
        // December month first: a 12 in the first field does not settle day first.
        {"December, month first", "time,temp\n12/13/2025 17:00,5.3\n12/13/2025 18:00,4.3\n", {}, "2025-12-13 17:00",
         "temp", {{60, 4.3}}, {}, {"dates read month first"}},
        {"an entity chosen", "entity_id,state,last_changed\nsensor.indoor_temperature,21.0,2025-11-20T16:00:00Z\n"
                             "sensor.outdoor_temperature,5.3,2025-11-20T16:00:00Z\n", indoor, "2025-11-20 17:00",
         "sensor.indoor_temperature", {{0, 21.0}}, {}, {}},
        {"a time column chosen", "n,logged,temp,checked\n1,2025-11-20 17:00,5.3,2025-11-21 09:00\n"
                                 "2,2025-11-20 18:00,4.3,2025-11-21 09:00\n", chosenTime, "2025-11-20 17:00", "temp",
         {{60, 4.3}}, {}, {}},
        {"the air's relative humidity gives the dew point", "time,air,RH\n2025-11-20 17:00,20,50\n2025-11-20 18:00,20,100\n",
         {}, "2025-11-20 17:00", "air", {{0, 20}}, {{0, 9.255174599}, {60, 20}}, {"column \"RH\" (relative humidity)"}},
    };
    for (const auto& c : cases) Check(c);
}

TEST_F(LocalClockBerlin, AmbiguousDatesFollowTheLocaleOrTheOption)
{
    // Both readings stay in order: only the locale or the option decides.
    const std::string text = "time,temp\n05/11/2025 17:00,5.3\n05/11/2025 18:00,4.3\n";
    struct Case {
        const char* name;
        EDateOrder locale, forced;
        const char* first;
        bool noted;
    };
    const Case cases[] = {
        {"a month-first locale", EDateOrder::MonthFirst, EDateOrder::Auto, "2025-05-11 17:00", true},
        {"a day-first locale", EDateOrder::DayFirst, EDateOrder::Auto, "2025-11-05 17:00", true},
        {"forced day first", EDateOrder::MonthFirst, EDateOrder::DayFirst, "2025-11-05 17:00", false},
    };
    for (const auto& c : cases) {
        TTableOptions o;
        o.LocaleOrder = c.locale;
        o.DateOrder = c.forced;
        const TTimeTable t = ParseTimeTable(text, "x.csv", o);
        EXPECT_EQ(LocalDateTimeText(t, t.Times[0]), c.first) << c.name;
        EXPECT_EQ(!t.Notes.empty() && t.Notes[0].find("could be read day first or month first") != std::string::npos,
                  c.noted)
            << c.name;
    }
}

TEST(ExportLayouts, RefusalsNameTheFileTheLineAndTheValue)
{
    struct Case {
        const char* name;
        std::string text;
        TTableOptions options;
        const char* message;
    };
    TTableOptions noSuchTime;
    noSuchTime.TimeColumn = "when";
    const Case cases[] = {
        {"day first and month first in one file", "time,t\n13/01/2025 17:00,1\n01/13/2025 18:00,2\n", {},
         "x.csv, line 3: the date '01/13/2025 18:00' has the day second, line 2 has it first"},
        {"a date that does not exist in the order read", "time,t\n31/01/2025 17:00,1\n31/02/2025 18:00,2\n", {},
         "x.csv, line 3: the date '31/02/2025 18:00' does not exist (read dmy; --date-order chooses)"},
        {"a slashed date among ISO dates", "time,t\n2025-11-20 17:00,1\n20/11/2025 18:00,2\n", {},
         "x.csv, line 3: the date '20/11/2025 18:00' is not written like the first row's"},
        {"a zone on some rows only", "time,t\n2025-11-20T17:00Z,1\n2025-11-20T18:00,2\n", {},
         "x.csv, line 3: the time '2025-11-20T18:00' has no time zone, the first row's has one"},
        {"no such time column", "a,b\n2025-11-20T17:00,1\n", noSuchTime,
         "x.csv: there is no time column \"when\" (the columns are a, b; --time-column chooses)"},
        {"a Unix time among Unix times that is not one", "t,v\n1763654400,1\n17636544,2\n", {},
         "x.csv, line 3: the time '17636544' is not a Unix time like the rows before"},
        {"extra fields that are not empty", "time,t\n0,1,,\n1,2,3\n", {}, "x.csv, line 3: 3 fields, but the header names 2"},
        {"a history reading without a zone", "entity_id,state,last_changed\nsensor.t,1,2025-11-20 17:00\n", {},
         "x.csv, line 2: the time '2025-11-20 17:00' is not a date-time with a time zone"},
    };
    for (const auto& c : cases) {
        std::string outcome = "accepted";
        try {
            ParseTimeTable(c.text, "x.csv", c.options);
        } catch (const ETableError& e) {
            outcome = e.what();
        }
        EXPECT_EQ(outcome, c.message) << c.name;
    }
}

TEST(ExportLayouts, UnitsComeFromTheHeader)
{
    struct Case {
        const char* header;
        bool fahrenheit;
    };
    const Case cases[] = {
        {"temperature_2m (\u00b0F)", true}, {"Temp(F)", true},      {"Outdoor Temperature(\u2109)", true},
        {"TemperatureF", true},             {"DewpointF", true},    {"Dew PointF", true},
        {"Fahrenheit(\u00b0F)", true},      {"TemperatureC", false}, {"temperature_2m (\u00b0C)", false},
        {"Outdoor Temperature(\u2103)", false}, {"Wind Speed(m/s)", false}, {"Conditions", false},
        {"Humidity(%)", false},             {"SoftwareType", false},
    };
    for (const auto& c : cases) EXPECT_EQ(FahrenheitHeader(c.header), c.fahrenheit) << c.header;
    // The Magnus formula against values worked by hand (Sonntag's coefficients).
    EXPECT_NEAR(MagnusDewPoint(20, 50), 9.2551746, 1e-6);
    EXPECT_NEAR(MagnusDewPoint(0, 100), 0, 1e-12);
    EXPECT_NEAR(MagnusDewPoint(-10, 80), -12.7968863, 1e-6);
}

TEST(ExportLayouts, CommandLineReadsThemAndSaysHow)
{
    brennic::test::TTempFolder folder;
    const std::string wu = folder.Write("wu.csv", "\nTime,TemperatureF,DewpointF,WindDirection<br>\n"
                                                  "2025-11-20 17:00:00,41.0,37.4,WSW,\n<br>\n"
                                                  "2025-11-20 18:00:00,39.2,35.6,W,\n<br>\n");
    const cli::Result r = cli::RunSim("--air-file " + wu + " --duration 60 --time-step 3600");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(cli::Lines(r.out).at(1), "0,5,20,20,20");  // 41 °F, not 41 °C
    EXPECT_EQ(r.err, "brennic-sim: " + wu +
                         ": times taken as this computer's local time: the file does not say (--time-zone UTC or "
                         "\u00b1HH:MM chooses otherwise)\n"
                         "brennic-sim: " + wu + ": the air from column \"TemperatureF\", converted from \u00b0F\n"
                         "brennic-sim: " + wu + ": the dew point from column \"DewpointF\", converted from \u00b0F\n"
                         "brennic-sim: note: --time-step 3600 s is more than a tenth of --duration 60 min; the curves "
                         "have few points and the ready times are coarse.\n");
    const std::string dated = folder.Write("d.csv", "Date,Time,temp\n05/11/2025,17:00,5\n05/11/2025,18:00,4\n");
    struct Case {
        const char* name;
        std::string options;
        int status;
        const char* err;  // what standard error contains
    };
    const Case cases[] = {
        {"a date order chosen", " --date-order mdy --start 2025-05-11T17:30", 0, ""},
        {"the other date order", " --date-order dmy --start 2025-05-11T17:30", 2,
         "lies outside the file's times, 2025-11-05 17:00 to 2025-11-05 18:00"},
        {"a date order that is none", " --date-order dym", 2, "--date-order: 'dym' is none of dmy, mdy, ymd"},
        {"a time column chosen", " --time-column Date+Time --date-order dmy", 0, ""},
        {"no such time column", " --time-column When", 2, "there is no time column \"When\""},
    };
    for (const auto& c : cases) {
        const cli::Result run = cli::RunSim("--air-file " + dated + " --duration 30" + c.options);
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << c.name << ": " << run.err;
    }
    EXPECT_EQ(cli::RunSim("--time-column Date --duration 30").err, "brennic-sim: --time-column: it goes with --air-file or --measured\n");
}
