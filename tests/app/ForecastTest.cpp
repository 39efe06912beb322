// Tonight's forecast: fetched from a server on the loopback address that
// serves recorded answers, failures and stalls; no test leaves the machine.
#include "app/core/tables/AirSource.h"
#include "app/core/tables/Forecast.h"
#include "support/LocalClock.h"
#include "tests/TempFolder.h"
#include "tests/app/CliRunner.h"
#include "tests/app/LoopbackServer.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>

using namespace brennic;
using brennic::test::TLoopbackServer;
using brennic::test::TReply;

namespace {

// Open-Meteo's CSV answer: metadata, a blank line, 48 hourly rows from the
// place's midnight of `day` (seconds since 1970 of that midnight).
std::string RecordedForecast(double day, int offsetSeconds)
{
    char line[160];
    std::snprintf(line, sizeof line,
                  "latitude,longitude,elevation,utc_offset_seconds,timezone,timezone_abbreviation\n"
                  "47.56,7.58,279.0,%d,Europe/Zurich,GMT+1\n\n",
                  offsetSeconds);
    std::string text = line;
    text += "time,temperature_2m (\u00b0C),dew_point_2m (\u00b0C),cloud_cover (%),wind_speed_10m (m/s)\n";
    for (int h = 0; h < 48; ++h) {
        std::snprintf(line, sizeof line, "%s,%.1f,%.1f,%d,%.1f\n", DateTimeText(day + h * 3600).replace(10, 1, "T").c_str(),
                      10 - 0.5 * h, 2 - 0.5 * h, 50 + h, 1.5);
        text += line;
    }
    return text;
}

const double Nov20 = 1763596800;  // 2025-11-20 00:00 UTC

std::string Failure(const std::string& server, const std::string& path, const THttpOptions& options = {},
                    double now = 0)
{
    try {
        FetchForecast(server, {47.56, 7.58}, path, options, now);
    } catch (const EForecastError& e) {
        return e.what();
    }
    return "fetched";
}

}  // namespace

TEST(Forecast, FetchedCheckedSavedAndReadAsAnAirFile)
{
    const std::string recorded = RecordedForecast(Nov20, 3600);
    TLoopbackServer server([&](const std::string&) { return TReply{TReply::Send, 200, recorded}; });
    brennic::test::TTempFolder folder;
    const std::string path = (folder.path / "sub" / "tonight.csv").string();
    FetchForecast(server.Url() + "/", {47.56, -7.58}, path);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0],
              "GET //v1/forecast?latitude=47.5600&longitude=-7.5800&hourly=temperature_2m,dew_point_2m,cloud_cover,"
              "wind_speed_10m&wind_speed_unit=ms&timezone=auto&forecast_days=2&format=csv HTTP/1.1");
    EXPECT_EQ(brennic::test::ReadFile(path), recorded);
    // The start: the next whole hour of the place's clock (UTC+01:00), or the next HH:MM.
    TAirFileChoice choice;
    choice.Path = path;
    const TTimeTable table = ReadTimeTable(path);
    const double now = Nov20 + 16 * 3600 + 20 * 60;  // 17:20 at the place
    struct Case {
        const char* clock;
        const char* start;
    };
    for (const Case& c : {Case{"", "2025-11-20T18:00"}, Case{"21:30", "2025-11-20T21:30"}, Case{"02:00", "2025-11-21T02:00"},
                          Case{"17:20", "2025-11-20T17:20"}, Case{"2025-11-20T23:00", "2025-11-20T23:00"},
                          Case{"2025-11-20T22:00Z", "2025-11-20T23:00"}})
        EXPECT_EQ(ForecastStart(table, now, c.clock), c.start) << c.clock;
    choice.Start = ForecastStart(table, now, "");
    const auto air = TAirSource::Load(choice);
    EXPECT_EQ(air->Air.At(0), 10 - 0.5 * 18);
    EXPECT_EQ(air->Air.At(1800), (10 - 0.5 * 18 + 10 - 0.5 * 19) / 2);
    ASSERT_TRUE(air->Dew.has_value());
    EXPECT_EQ(air->Dew->At(3600), 2 - 0.5 * 19);
    EXPECT_EQ(air->Describe(), "tonight.csv, column temperature_2m, from 2025-11-20 18:00");
}

TEST(Forecast, FailuresNameTheServerAndLeaveTheEarlierFile)
{
    const std::string recorded = RecordedForecast(Nov20, 0);
    struct Case {
        const char* name;
        TReply reply;
        std::string message;  // after the server's address
    };
    const Case cases[] = {
        {"a 400 with the server's reason",
         {TReply::Send, 400, "{\"error\":true,\"reason\":\"Latitude must be in range of -90 to 90\u00b0. Given: 91.0.\"}",
          "application/json"},
         " answered HTTP 400: Latitude must be in range of -90 to 90\u00b0. Given: 91.0."},
        {"a 503 without JSON", {TReply::Send, 503, "<html>busy</html>", "text/html"}, " answered HTTP 503"},
        {"a web page instead of the table", {TReply::Send, 200, "<html><body>hello</body></html>", "text/html"},
         "'s answer is not the expected table: "},
        {"a table without the air", {TReply::Send, 200, "time,wind\n2025-11-20T00:00,1\n"},
         "'s answer is not the expected table: it has no hourly temperature_2m"},
        {"a body cut off", {TReply::CutOff, 200, recorded.substr(0, 400)}, ": the answer was cut off"},
        {"a stalled connection", {TReply::Stall, 200, "", "text/csv"}, ": no complete answer within 1 s"},
        {"JSON where CSV was asked for",
         {TReply::Send, 200, "{\"latitude\":47.56,\"hourly\":{\"time\":[]}}", "application/json"},
         " sent a JSON answer, not the CSV asked for"},
        {"an answer past the limit", {TReply::Send, 200, std::string(ForecastSizeLimit + 1, 'x')},
         ": the answer is larger than 4 MiB; nothing was saved"},
        {"a forecast that ended before now", {TReply::Send, 200, recorded}, "'s forecast ends at 2025-11-21 23:00, "
                                                                          "before now: it does not cover tonight"},
    };
    brennic::test::TTempFolder folder;
    const std::string path = folder.Write("tonight.csv", "the earlier forecast\n");
    THttpOptions quick;
    quick.TotalSeconds = 1;
    for (const auto& c : cases) {
        TLoopbackServer server([&](const std::string&) { return c.reply; });
        const std::string message = Failure(server.Url(), path, quick, Nov20 + 3 * 86400);
        EXPECT_EQ(message.rfind(server.Url() + c.message, 0), 0u) << c.name << ": " << message;
        EXPECT_EQ(brennic::test::ReadFile(path), "the earlier forecast\n") << c.name;
        EXPECT_EQ(folder.Entries(), 1u) << c.name;  // no temporary file left
    }
    const std::string closed = "http://127.0.0.1:" + std::to_string(TLoopbackServer::ClosedPort());
    EXPECT_EQ(Failure(closed, path).rfind(closed + ": no connection", 0), 0u) << Failure(closed, path);
}

TEST(Forecast, PlacesOutsideTheGlobeAreRefusedBeforeAnyRequest)
{
    struct Case {
        const char* text;
        const char* message;  // nullptr: accepted
    };
    const Case cases[] = {
        {"47.56,7.58", nullptr},
        {"-33.9,151.2", nullptr},
        {"90,-180", nullptr},
        {"91,0", "the latitude in '91,0' is outside -90 to 90"},
        {"0,180.5", "the longitude in '0,180.5' is outside -180 to 180"},
        {"47.56", "the place '47.56' is not LATITUDE,LONGITUDE in decimal degrees (47.56,7.58)"},
        {"north,east", "the place 'north,east' is not LATITUDE,LONGITUDE"},
        {"47,56,7", "the place '47,56,7' is not LATITUDE,LONGITUDE"},
        {"", "the place '' is not LATITUDE,LONGITUDE"},
    };
    for (const auto& c : cases) {
        std::string outcome = "accepted";
        try {
            ParsePlace(c.text);
        } catch (const EBrennicError& e) {
            outcome = e.what();
        }
        if (c.message)
            EXPECT_EQ(outcome.rfind(c.message, 0), 0u) << c.text << ": " << outcome;
        else
            EXPECT_EQ(outcome, "accepted") << c.text;
    }
    ::setenv("XDG_CACHE_HOME", "/tmp/cache-for-test", 1);
    EXPECT_EQ(ForecastCachePath({-33.9, 151.2}, Nov20 + 3600),
              "/tmp/cache-for-test/brennic/forecasts/forecast_33.9000S_151.2000E_2025-11-20.csv");
    ::unsetenv("XDG_CACHE_HOME");
    ::setenv(ForecastServerVariable, "http://127.0.0.1:9/", 1);
    EXPECT_EQ(ForecastServer(""), "http://127.0.0.1:9");
    EXPECT_EQ(ForecastServer("https://own.example"), "https://own.example");
    ::unsetenv(ForecastServerVariable);
    EXPECT_EQ(ForecastServer(""), DefaultForecastServer);
}

TEST(Forecast, CommandLineRunsOnTonightsForecast)
{
    // Today's midnight (UTC, the place's clock at offset 0) and two days on.
    const double today = std::floor(UtcNow() / 86400) * 86400;
    const std::string recorded = RecordedForecast(today, 0);
    TLoopbackServer server([&](const std::string&) { return TReply{TReply::Send, 200, recorded}; });
    brennic::test::TTempFolder folder;
    const std::string saved = (folder.path / "f.csv").string();
    const cli::Result r = cli::RunSim("--forecast 47.56,7.58 --forecast-save " + saved + " --duration 60 --summary",
                                      std::string("LC_ALL=C ") + ForecastServerVariable + "=" + server.Url());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("the forecast is saved as " + saved), std::string::npos) << r.err;
    EXPECT_EQ(brennic::test::ReadFile(saved), recorded);
    const cli::Result refused = cli::RunSim("--forecast 95,7 --forecast-server " + server.Url());
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "brennic-sim: --forecast: the latitude in '95,7' is outside -90 to 90\n");
    EXPECT_EQ(server.Requests().size(), 1u);  // the refused place asked nothing
    const cli::Result failed =
        cli::RunSim("--forecast 47.56,7.58 --forecast-save " + saved + " --forecast-server http://127.0.0.1:" +
                    std::to_string(TLoopbackServer::ClosedPort()));
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find(": no connection"), std::string::npos) << failed.err;
    const cli::Result full = cli::RunSim("--forecast 47.56,7.58 --forecast-save /dev/full --forecast-server " + server.Url());
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "brennic-sim: cannot write \"/dev/full\": No space left on device\n");
    const std::string air = folder.Write("air.csv", "time,temp\n0,10\n60,9\n");
    const std::string scenario = folder.Write("night.brennic", "air-file = " + air + "\n");
    const cli::Result both = cli::RunSim("--scenario " + scenario + " --forecast 47.56,7.58 --forecast-server " + server.Url());
    EXPECT_EQ(both.status, 2);
    EXPECT_EQ(both.err, "brennic-sim: --forecast: the air comes from the scenario " + scenario + " (air-file = " + air +
                            "); leave out one or the other\n");
}

// A gzip body is read as the table it holds; numbers in the request and the
// cache's name keep their full stop in a comma-decimal locale.
TEST(Forecast, CompressedAnswersAndCommaLocales)
{
    const std::string recorded = RecordedForecast(Nov20, 3600);
    brennic::test::TTempFolder folder;
    const std::string plain = folder.Write("plain.csv", recorded);
    std::string gzipped;
    FILE* gz = ::popen(("gzip -c " + plain).c_str(), "r");
    ASSERT_NE(gz, nullptr);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, gz)) > 0;) gzipped.append(buffer, n);
    ASSERT_EQ(::pclose(gz), 0);
    TLoopbackServer server([&](const std::string&) { return TReply{TReply::Send, 200, gzipped, "text/csv", "gzip"}; });
    const std::string path = (folder.path / "tonight.csv").string();
    FetchForecast(server.Url(), {47.56, 7.58}, path);
    EXPECT_EQ(brennic::test::ReadFile(path), recorded);

    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    char decimal[8];
    std::snprintf(decimal, sizeof decimal, "%.1f", 0.5);
    EXPECT_STREQ(decimal, "0,5");  // the locale is in force
    EXPECT_EQ(PlaceText({47.56, 7.58}), "47.5600,7.5800");
    ::setenv("XDG_CACHE_HOME", "/tmp/cache-for-test", 1);
    EXPECT_EQ(ForecastCachePath({47.56, 7.58}, Nov20), "/tmp/cache-for-test/brennic/forecasts/forecast_47.5600N_7.5800E_2025-11-20.csv");
    ::unsetenv("XDG_CACHE_HOME");
    std::setlocale(LC_ALL, "C");
}
