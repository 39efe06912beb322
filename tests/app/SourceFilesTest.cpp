// Files of national weather services, data loggers, time-series databases
// and microcontroller scripts, written from each source's published layout:
// each is read right as downloaded (in a month-first and a day-first locale
// alike), or refused naming the option that reads it, and then read right
// with exactly that option.
#include "app/core/tables/ColumnRoles.h"
#include "app/core/tables/MeasuredLog.h"
#include "tests/app/LayoutCheck.h"

#include <gtest/gtest.h>

using namespace brennic;

namespace {

TAirFileChoice Choice(const char* airColumn, const char* start = "", const char* timeZone = "")
{
    TAirFileChoice c;
    c.AirColumn = airColumn;
    c.Start = start;
    c.TimeZone = timeZone;
    return c;
}

const char* const Influx =
    "#group,false,false,true,true,false,false,true,true,true\n"
    "#datatype,string,long,dateTime:RFC3339,dateTime:RFC3339,dateTime:RFC3339,double,string,string,string\n"
    "#default,_result,,,,,,,,\n"
    ",result,table,_start,_stop,_time,_value,_field,_measurement,entity_id\n"
    ",,0,2026-12-08T00:00:00Z,2026-12-09T00:00:00Z,2026-12-08T17:00:00Z,21.3,value,\u00b0C,living_room_temperature\n"
    ",,0,2026-12-08T00:00:00Z,2026-12-09T00:00:00Z,2026-12-08T18:00:00Z,21.1,value,\u00b0C,living_room_temperature\n"
    "\n"
    "#group,false,false,true,true,false,false,true,true,true\n"
    "#datatype,string,long,dateTime:RFC3339,dateTime:RFC3339,dateTime:RFC3339,double,string,string,string\n"
    "#default,_result,,,,,,,,\n"
    ",result,table,_start,_stop,_time,_value,_field,_measurement,entity_id\n"
    ",,1,2026-12-08T00:00:00Z,2026-12-09T00:00:00Z,2026-12-08T17:00:00Z,41.36,value,\u00b0F,outdoor_temperature\n"
    ",,1,2026-12-08T00:00:00Z,2026-12-09T00:00:00Z,2026-12-08T18:00:00Z,40.28,value,\u00b0F,outdoor_temperature\n";

const char* const RaspberryPi = "1796749201.0079,12.31,9.80\n1796749261.0102,12.25,9.79\n1796749321.0091,12.20,9.78\n";

const char* const SerialMonitor =
    "18:00:00.123 -> 12.31,9.80\n18:01:00.120 -> 12.25,9.79\n23:59:00.110 -> 11.00,9.00\n00:00:00.130 -> 10.99,8.99\n";

}  // namespace

TEST_F(LocalClockBerlin, NationalServicesAndLoggersReadAsDownloaded)
{
    const TLayoutCase cases[] = {
        {"DWD hourly: MESS_DATUM YYYYMMDDHH in UTC, -999 for no value",
         "STATIONS_ID;MESS_DATUM;QN_9;TT_TU;RF_TU;eor\n"
         "       3;2026120817;    3;   5.2;  87.0;eor\n       3;2026120818;    3;   4.6;  89.0;eor\n"
         "       3;2026120819;    3;-999;  90.0;eor\n       3;2026120820;    3;   3.8;  91.0;eor\n",
         {}, "2026-12-08 18:00", "TT_TU", {{0, 5.2}, {60, 4.6}, {120, 4.2}, {180, 3.8}}, {},
         {"read as DWD (Deutscher Wetterdienst)'s layout", "times taken as UTC (the source's convention",
          "1 row without a value skipped"}},
        {"DWD ten-minute: YYYYMMDDHHMM, the 5 cm temperature not the air",
         "STATIONS_ID;MESS_DATUM;  QN;PP_10;TT_10;TM5_10;RF_10;TD_10;eor\n"
         "       3;202612081700;    3; 1002.1;   5.2;   3.1;  87.0;   3.2;eor\n"
         "       3;202612081710;    3; 1002.1;   5.0;   3.0;  88.0;   3.1;eor\n"
         "       3;202612081720;    3; 1002.0;   4.9;   2.9;  88.0;   3.1;eor\n",
         {}, "2026-12-08 18:00", "TT_10", {{0, 5.2}, {10, 5.0}, {20, 4.9}}, {{0, 3.2}}, {}},
        {"MeteoSwiss IDAweb: yyyyMMddHHmm in UTC, '-' for no value",
         "stn;time;tre200s0;tde200s0\nBAS;202612081700;5.2;2.1\nBAS;202612081710;5.0;-\nBAS;202612081720;4.8;2.0\n", {},
         "2026-12-08 18:00", "tre200s0", {{0, 5.2}, {20, 4.8}}, {{10, 2.05}}, {"read as MeteoSwiss's layout"}},
        {"MeteoSwiss open data: dd.mm.yyyy HH:MM in UTC",
         "station_abbr;reference_timestamp;tre200s0;tde200s0\nBAS;08.12.2026 17:00;5.2;2.1\nBAS;08.12.2026 17:10;5.0;2.0\n",
         {}, "2026-12-08 18:00", "tre200s0", {{0, 5.2}, {10, 5.0}}, {{0, 2.1}}, {}},
        {"KNMI hourly: a commented header, YYYYMMDD and HH 1-24 in UT, tenths of a degree",
         "# BRON: KONINKLIJK NEDERLANDS METEOROLOGISCH INSTITUUT (KNMI)\n# \n# STN,YYYYMMDD,   HH,   DD,    T,   TD\n# \n"
         "  260,20261208,   18,  220,   52,   31\n  260,20261208,   19,  220,   48,   30\n"
         "  260,20261208,   24,  210,   40,   28\n  260,20261209,    1,  210,   39,   27\n",
         {}, "2026-12-08 19:00", "T", {{0, 5.2}, {60, 4.8}, {360, 4.0}, {420, 3.9}}, {{0, 3.1}},
         {"read as KNMI's layout"}},
        {"NOAA ISD global hourly: TMP '+0052,1' in tenths with a quality code, +9999 missing",
         "\"STATION\",\"DATE\",\"SOURCE\",\"NAME\",\"REPORT_TYPE\",\"WND\",\"TMP\",\"DEW\",\"SLP\"\n"
         "\"72509014739\",\"2026-12-08T17:00:00\",\"4\",\"BOSTON, MA US\",\"FM-15\",\"220,1,N,0046,1\",\"+0052,1\","
         "\"-0011,1\",\"10208,1\"\n"
         "\"72509014739\",\"2026-12-08T18:00:00\",\"4\",\"BOSTON, MA US\",\"FM-15\",\"220,1,N,0046,1\",\"+0046,1\","
         "\"-0011,1\",\"10210,1\"\n"
         "\"72509014739\",\"2026-12-08T19:00:00\",\"4\",\"BOSTON, MA US\",\"FM-15\",\"220,1,N,0046,1\",\"+9999,9\","
         "\"-0012,1\",\"10212,1\"\n",
         {}, "2026-12-08 18:00", "TMP", {{0, 5.2}, {60, 4.6}, {120, 4.6}}, {{0, -1.1}, {120, -1.2}}, {}},
        {"MIDAS in BADC-CSV: metadata, then data ... end data, UTC",
         "Conventions,G,BADC-CSV,1\ntitle,G,Met Office MIDAS hourly weather observations\n"
         "long_name,air_temperature,Air temperature,degC\ndata\n"
         "ob_time,id,id_type,met_domain_name,air_temperature,dewpoint,rltv_hum\n"
         "2026-12-08 17:00:00,708,DCNN,SYNOP,5.2,3.1,87.0\n2026-12-08 18:00:00,708,DCNN,SYNOP,4.6,2.9,88.0\nend data\n",
         {}, "2026-12-08 18:00", "air_temperature", {{0, 5.2}, {60, 4.6}}, {{0, 3.1}}, {}},
        {"Meteostat hourly: UTC, dwpt the dew point",
         "time,temp,dwpt,rhum,prcp,snow,wdir,wspd,wpgt,pres,tsun,coco\n"
         "2026-12-08 17:00:00,5.2,3.1,87,0.0,,220,9.4,,1012.3,,3\n2026-12-08 18:00:00,4.6,2.9,88,0.0,,220,7.6,,1012.5,,3\n",
         {}, "2026-12-08 18:00", "temp", {{0, 5.2}, {60, 4.6}}, {{60, 2.9}}, {}},
        {"NASA POWER: a header block, YEAR,MO,DY,HR in local solar time",
         "-BEGIN HEADER-\nNASA/POWER CERES/MERRA2 Native Resolution Hourly Data \n"
         "Dates (month/day/year): 12/08/2026 through 12/09/2026 in LST\nLocation: Latitude  47.56   Longitude 7.58 \n"
         "Elevation from MERRA-2: Average for 0.5 x 0.625 degree lat/lon region = 320.12 meters\n"
         "The value for missing source data that cannot be computed or is outside of the sources availability range: -999 \n"
         "Parameter(s): \nT2M             MERRA-2 Temperature at 2 Meters (C) \n"
         "T2MDEW          MERRA-2 Dew/Frost Point at 2 Meters (C) \n-END HEADER-\n"
         "YEAR,MO,DY,HR,T2M,T2MDEW\n2026,12,8,18,5.2,2.1\n2026,12,8,19,4.8,-999\n2026,12,8,20,4.5,1.9\n",
         {}, "2026-12-08 18:00", "T2M", {{0, 5.2}, {60, 4.8}}, {{0, 2.1}, {60, 2.0}},
         {"times in local solar time (LST) at longitude 7.58: UTC+00:30"}},
        {"Campbell TOA5: names, units and processing lines; RECORD and the panel are never the air",
         "\"TOA5\",\"CR1000\",\"CR1000\",\"1234\",\"CR1000.Std.32\",\"CPU:met.CR1\",\"12345\",\"Hourly\"\n"
         "\"TIMESTAMP\",\"RECORD\",\"PTemp_C_Avg\",\"AirTC_Avg\",\"RH\",\"BattV_Min\"\n"
         "\"TS\",\"RN\",\"Deg C\",\"Deg C\",\"%\",\"Volts\"\n\"\",\"\",\"Avg\",\"Avg\",\"Smp\",\"Min\"\n"
         "\"2026-12-08 18:00:00\",0,12.5,5.2,87,12.6\n\"2026-12-08 19:00:00\",1,12.1,4.6,88,12.6\n"
         "\"2026-12-08 20:00:00\",2,11.8,4.1,89,12.5\n",
         {}, "2026-12-08 18:00", "AirTC_Avg", {{0, 5.2}, {120, 4.1}}, {{0, MagnusDewPoint(5.2, 87)}},
         {"read as Campbell Scientific TOA5's layout"}},
        {"WeeWX, metric: columns in alphabetical order, dateTime in Unix seconds",
         "appTemp,barometer,dateTime,dewpoint,heatindex,inTemp,interval,outHumidity,outTemp,usUnits,windchill\n"
         "3.1,1012.3,1796749200,2.1,5.2,21.5,5,87,5.2,16,3.5\n2.9,1012.4,1796749500,2.0,5.0,21.4,5,88,5.0,16,3.3\n",
         {}, "2026-12-08 18:00", "outTemp", {{0, 5.2}, {5, 5.0}}, {{0, 2.1}}, {"read as WeeWX's layout"}},
        {"WeeWX, US units: usUnits 1 says \u00b0F",
         "dateTime,usUnits,interval,barometer,inTemp,outTemp,dewpoint,appTemp\n"
         "1796749200,1,5,29.88,70.7,41.36,35.78,37.4\n1796749500,1,5,29.88,70.5,41.0,35.6,37.0\n",
         {}, "2026-12-08 18:00", "outTemp", {{0, 5.2}, {5, 5.0}}, {{0, 2.1}}, {"says US customary units"}},
        {"Cumulus monthly log: no header, day-first dates that cross midnight",
         "08/12/26,23:00,5.2,87,3.1,2.4,4.1,270,0.0,0.0,1012.3,155.2,21.3,45,4.0,5.2,0\n"
         "09/12/26,00:00,5.0,88,3.0,2.1,3.9,270,0.0,0.0,1012.4,155.2,21.2,45,4.0,5.0,0\n"
         "09/12/26,01:00,4.8,88,2.9,1.9,3.5,260,0.0,0.0,1012.5,155.2,21.1,45,3.8,4.8,0\n",
         {}, "2026-12-08 23:00", "Column 3", {{0, 5.2}, {120, 4.8}}, {{60, 3.0}},
         {"dates read day first: month first, line 2 would jump"}},
        {"Grafana, series as rows: the outdoor series by its name",
         "\"Series\";\"Time\";\"Value\"\n\"outdoor\";\"2026-12-08T17:00:00+01:00\";5.2\n"
         "\"living room\";\"2026-12-08T17:00:00+01:00\";21.3\n\"outdoor\";\"2026-12-08T18:00:00+01:00\";4.6\n"
         "\"living room\";\"2026-12-08T18:00:00+01:00\";21.1\n",
         {}, "2026-12-08 17:00", "outdoor", {{0, 5.2}, {60, 4.6}}, {}, {"a Grafana export of 2 series"}},
        {"Synoptic: metadata comments, a units row below the names",
         "# STATION: KSLC\n# STATION NAME: Salt Lake City International Airport\n# LATITUDE: 40.77069\n"
         "# LONGITUDE: -111.96503\n# ELEVATION [ft]: 4226\n# STATE: UT\n"
         "Station_ID,Date_Time,air_temp_set_1,relative_humidity_set_1,dew_point_temperature_set_1d\n"
         ",,Celsius,%,Celsius\nKSLC,2026-12-08T17:00:00Z,5.2,87,3.1\nKSLC,2026-12-08T18:00:00Z,4.6,88,2.9\n",
         {}, "2026-12-08 18:00", "air_temp_set_1", {{0, 5.2}, {60, 4.6}}, {{0, 3.1}}, {}},
        {"day-first slashed dates with two-digit years that cross midnight",
         "time,temp\n08/12/26 23:00,5.2\n09/12/26 00:00,5.0\n09/12/26 01:00,4.8\n", {}, "2026-12-08 23:00", "temp",
         {{0, 5.2}, {120, 4.8}}, {}, {"dates read day first"}},
        {"dotted dates are day first everywhere", "time,temp\n08.12.26 23:00,5.2\n09.12.26 00:00,5.0\n", {},
         "2026-12-08 23:00", "temp", {{60, 5.0}}, {}, {"dates with dots read day first"}},
        {"unpadded date-times of a script", "time,temp\n2026/12/8 23:0:0,5.2\n2026/12/9 0:0:0,5.0\n", {},
         "2026-12-08 23:00", "temp", {{60, 5.0}}, {}, {}},
        {"a time zone given for unmarked times", "time,temp\n2026-12-08 22:30,5.2\n2026-12-08 23:30,5.0\n",
         Choice("", "", "+05:30"), "2026-12-08 22:30", "temp", {{60, 5.0}}, {}, {"times read at UTC+05:30"}},
    };
    for (const TLayoutCase& c : cases)
        for (EDateOrder locale : {EDateOrder::MonthFirst, EDateOrder::DayFirst}) Check(c, locale);
}

// Files that leave something open: refused naming the option that settles
// it, then read right with exactly that option.
TEST_F(LocalClockBerlin, OpenQuestionsAreRefusedWithTheOptionThatSettlesThem)
{
    struct Case {
        const char* name;
        std::string text;
        const char* refusal;
        TLayoutCase after;
    };
    const Case cases[] = {
        {"InfluxDB: several series, one chosen by its tag", Influx,
         "an InfluxDB export of 2 series: choose the outdoor air's with --air-column TAG=VALUE (the series are "
         "entity_id=living_room_temperature (21.3); entity_id=outdoor_temperature (41.36))",
         {"", Influx, Choice("entity_id=outdoor_temperature"), "2026-12-08 18:00", "entity_id=outdoor_temperature",
          {{0, 5.2}, {60, 4.6}}, {}, {"converted from \u00b0F"}}},
        {"a script's float Unix times and unnamed columns", RaspberryPi,
         "no column is named as the air's temperature: choose one with --air-column NAME (the columns are Column 2 "
         "(12.31), Column 3 (9.8))",
         {"", RaspberryPi, Choice("Column 3"), "2026-12-08 18:00", "Column 3", {{0, 9.8}, {3, 9.78}}, {},
          {"times on the UTC scale"}}},
        {"a serial monitor's clock times without a date", SerialMonitor,
         "the times are clock times without a date: give the first row's date with --start YYYY-MM-DD",
         {"", SerialMonitor, Choice("Column 3", "2026-12-08"), "2026-12-08 18:00", "Column 3",
          {{0, 9.8}, {361, 8.99}}, {}, {"times taken as this computer's local time"}}},
    };
    for (const Case& c : cases) {
        brennic::test::TTempFile file(c.text);
        try {
            TAirSource::Load({file.path.string(), "", "", "", "", "", "", ""});
            ADD_FAILURE() << c.name << ": read";
        } catch (const ETableError& e) {
            EXPECT_NE(std::string(e.what()).find(c.refusal), std::string::npos) << c.name << ": " << e.what();
        }
        TLayoutCase after = c.after;
        after.name = c.name;
        Check(after);
    }
}

// What no air does is refused, naming the line, the column and the value.
TEST(SourceFiles, ImplausibleFilesAreRefusedNamingTheLine)
{
    struct Case {
        const char* name;
        std::string text;
        const char* refusal;
    };
    const Case cases[] = {
        {"\u00b0F unmarked", "time,temp\n2026-12-08 18:00,75\n2026-12-08 19:00,73\n",
         "line 2: column \"temp\" has 75 \u00b0C, which the air never reaches (-90 to 60 \u00b0C)"},
        {"a jump of 20 \u00b0C in a minute", "time,temp\n2026-12-08 18:00,5\n2026-12-08 18:01,25\n2026-12-08 18:02,5\n",
         "line 3: column \"temp\" jumps from 5 \u00b0C (line 2) to 25 \u00b0C within 60 s"},
        {"daily rows", "time,temp\n2026-12-08,5\n2026-12-09,4\n2026-12-10,3\n",
         "the rows of time column \"time\", read as date-times, lie 24 h apart on average: more than six hours"},
        {"a counter chosen as the air", "No,time,temp\n1,2026-12-08 18:00,5\n2,2026-12-08 19:00,4\n",
         "column \"No\" numbers the rows"},
    };
    for (const Case& c : cases) {
        brennic::test::TTempFile file(c.text);
        const std::string column = std::string(c.name) == "a counter chosen as the air" ? "No" : "";
        try {
            TAirSource::Load({file.path.string(), column, "", "", "", "", "", ""});
            ADD_FAILURE() << c.name << ": read";
        } catch (const ETableError& e) {
            EXPECT_NE(std::string(e.what()).find(c.refusal), std::string::npos) << c.name << ": " << e.what();
        }
    }
}

// Mirror logs go through the same reader: a HOBO export with its zone in
// the time column's name and names holding commas, a DS18B20's error codes.
TEST_F(LocalClockBerlin, MirrorLogsAsLoggersWriteThem)
{
    brennic::test::TTempFile hobo(
        "\"Plot Title: Mirror\"\n"
        "\"#\",\"Date Time, GMT+01:00\",\"Temp, \u00b0C (LGR S/N: 1234, SEN S/N: 1)\",\"Temp, \u00b0C (LGR S/N: 1234, SEN S/N: "
        "2)\"\n1,12/08/26 11:00:00 PM,12.31,9.80\n2,12/09/26 12:00:00 AM,12.25,9.79\n3,12/09/26 01:00:00 AM,12.20,9.78\n");
    const auto log = TMeasuredLog::Load(
        hobo.path.string(),
        ParseLogColumns("surface=\"Temp, \u00b0C (LGR S/N: 1234, SEN S/N: 1)\",back=\"Temp, \u00b0C (LGR S/N: 1234, SEN "
                        "S/N: 2)\""));
    ASSERT_EQ(log->Surface.size(), 3u);
    EXPECT_EQ(log->Back[1].Value, 9.79);
    EXPECT_EQ(log->Surface[2].Time, 7200);
    std::string notes;
    for (const std::string& n : log->Notes) notes += n + "\n";
    EXPECT_NE(notes.find("times read at UTC+01:00, as the time column's name says"), std::string::npos) << notes;
    EXPECT_NE(notes.find("dates read month first"), std::string::npos) << notes;

    brennic::test::TTempFile probe("time,T_Surface,T_Back,T_Ambient\n2026-12-08 18:00,15.0,15.5,10.0\n"
                                   "2026-12-08 18:01,-127.00,15.4,10.0\n2026-12-08 18:02,14.8,15.3,10.0\n"
                                   "2026-12-08 18:03,85.00,15.2,10.0\n2026-12-08 18:04,14.6,15.1,10.0\n");
    const auto ds = TMeasuredLog::Load(probe.path.string(), {});
    EXPECT_EQ(ds->Surface.size(), 3u);
    std::string dsNotes;
    for (const std::string& n : ds->Notes) dsNotes += n + "\n";
    EXPECT_NE(dsNotes.find("column \"T_Surface\": 2 readings of -127 or 85 \u00b0C (a DS18B20 probe's error codes) left out"),
              std::string::npos)
        << dsNotes;
    // A mirror truly at 85 degC stays.
    std::vector<double> hot{84.0, 85.0, 86.0};
    EXPECT_EQ(DropProbeErrors(hot), 0u);
}
