#include "app/core/tables/Forecast.h"

#include "app/core/tables/TextCells.h"
#include "support/FileOutput.h"
#include "support/LibStandard.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace brennic {

namespace {

constexpr double MaxLatitude = 90, MaxLongitude = 180;
constexpr const char* Hourly = "temperature_2m,dew_point_2m,cloud_cover,wind_speed_10m";

std::string Host(const std::string& server)
{
    return server;
}

// The server's "reason" where its JSON gives one.
std::string Reason(const std::string& body)
{
    try {
        const auto j = nlohmann::json::parse(body);
        if (j.is_object() && j.contains("reason") && j["reason"].is_string())
            return j["reason"].get<std::string>();
    } catch (const nlohmann::json::exception&) {
    }
    return {};
}

// A number with four decimals and a full stop, whatever the locale.
std::string Fixed4(double v)
{
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 4);
    return std::string(text, r.ptr);
}

void CheckTable(const std::string& body, const std::string& server, double utcNow)
{
    const std::string start = server + "'s answer is not the expected table: ";
    const std::string_view trimmed = Trim(body);
    if (!trimmed.empty() && (trimmed.front() == '{' || trimmed.front() == '[')) {
        const std::string reason = Reason(body);
        throw EForecastError(server + " sent a JSON answer, not the CSV asked for" +
                             (reason.empty() ? std::string() : ": " + reason));
    }
    TTimeTable t;
    try {
        t = ParseTimeTable(body, "the answer");
    } catch (const ETableError& e) {
        throw EForecastError(start + e.what());
    }
    const int air = FindColumn(t, "temperature_2m");
    if (air <= 0 || !t.ClockTimes)
        throw EForecastError(start + "it has no hourly temperature_2m");
    try {
        CheckTemperatureColumn(t, air);
        TSeries(t, air, t.Times.front());
    } catch (const ETableError& e) {
        throw EForecastError(start + e.what());
    }
    // Tonight must be in it: its last hour still to come.
    const double lastUtc = t.UtcBased ? t.Times.back() : t.Times.back() - t.PlaceOffsetMinutes.value_or(0) * 60.0;
    if (!(lastUtc > utcNow))
        throw EForecastError(server + "'s forecast ends at " + LocalDateTimeText(t, t.Times.back()) +
                             ", before now: it does not cover tonight");
}

}  // namespace

TPlace ParsePlace(const std::string& text)
{
    const std::size_t comma = text.find(',');
    TPlace p;
    const std::string shown = "'" + ShownText(text) + "'";
    if (comma == std::string::npos || !Number(text.substr(0, comma), false, p.Latitude) ||
        !Number(text.substr(comma + 1), false, p.Longitude))
        throw EBrennicError("the place " + shown + " is not LATITUDE,LONGITUDE in decimal degrees (47.56,7.58)");
    if (std::abs(p.Latitude) > MaxLatitude)
        throw EBrennicError("the latitude in " + shown + " is outside -90 to 90");
    if (std::abs(p.Longitude) > MaxLongitude)
        throw EBrennicError("the longitude in " + shown + " is outside -180 to 180");
    return p;
}

std::string PlaceText(const TPlace& p)
{
    return Fixed4(p.Latitude) + "," + Fixed4(p.Longitude);
}

std::string ForecastServer(const std::string& option)
{
    std::string server = option;
    if (server.empty())
        if (const char* env = std::getenv(ForecastServerVariable))
            server = env;
    if (server.empty())
        server = DefaultForecastServer;
    while (!server.empty() && server.back() == '/') server.pop_back();
    return server;
}

std::string ForecastUrl(const std::string& server, const TPlace& p)
{
    const std::string place = PlaceText(p);
    const std::size_t comma = place.find(',');
    return server + "/v1/forecast?latitude=" + place.substr(0, comma) + "&longitude=" + place.substr(comma + 1) +
           "&hourly=" + Hourly + "&wind_speed_unit=ms&timezone=auto&forecast_days=2&format=csv";
}

std::string ForecastCachePath(const TPlace& p, double utcNow)
{
    namespace fs = std::filesystem;
    fs::path folder;
    // A folder of the user's own: never a shared one another user could
    // prepare (a link in /tmp).
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
        folder = cache;
    else if (const char* home = std::getenv("HOME"); home && *home == '/')
        folder = fs::path(home) / ".cache";
    else if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/')
        folder = runtime;
    else
        throw EForecastError("there is no folder of your own to keep the forecast in (HOME, XDG_CACHE_HOME and "
                             "XDG_RUNTIME_DIR are not set): give --forecast-save FILE");
    const std::string name = "forecast_" + Fixed4(std::abs(p.Latitude)) + (p.Latitude < 0 ? "S" : "N") + "_" +
                             Fixed4(std::abs(p.Longitude)) + (p.Longitude < 0 ? "W" : "E") + "_" +
                             DateTimeText(utcNow).substr(0, 10) + ".csv";
    return (folder / "brennic" / "forecasts" / name).string();
}

void FetchForecast(const std::string& server, const TPlace& place, const std::string& path, const THttpOptions& options,
                   double utcNow)
{
    THttpOptions bounded = options;
    bounded.Limit = std::min(bounded.Limit, ForecastSizeLimit);
    THttpResponse r;
    try {
        r = HttpGet(ForecastUrl(server, place), bounded);
    } catch (const EHttpError& e) {
        if (e.Kind == EHttpError::Cancelled)
            throw;
        throw EForecastError(Host(server) + ": " + e.what() + "; nothing was saved");
    }
    if (r.Status >= 400) {
        const std::string reason = Reason(r.Body);
        throw EForecastError(Host(server) + " answered HTTP " + std::to_string(r.Status) +
                             (reason.empty() ? std::string() : ": " + reason));
    }
    CheckTable(r.Body, server, utcNow);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    WriteFileAtomically(path, r.Body);
}

std::string ForecastStart(const TTimeTable& t, double utcNow, const std::string& clock)
{
    // The table's own scale: wall-clock times of the place, or UTC shown at its offset.
    const int offset = t.UtcBased ? t.ClockOffsetMinutes : t.PlaceOffsetMinutes.value_or(t.ClockOffsetMinutes);
    const double localNow = utcNow + offset * 60.0;
    double at;
    int zone;
    bool zoned = false;
    if (Trim(clock).empty()) {
        at = std::ceil(localNow / 3600) * 3600;
    } else if (ParseDateTime(clock, at, zone, &zoned)) {
        if (zoned)  // a zone given: to the place's clock
            at += offset * 60.0;
    } else {
        double ofDay;
        if (!ParseClock(clock, ofDay) || ofDay >= 86400)
            throw EBrennicError("the start '" + ShownText(clock) + "' is neither HH:MM nor a date-time");
        at = std::floor(localNow / 86400) * 86400 + ofDay;
        if (at < localNow)
            at += 86400;
    }
    std::string text = DateTimeText(at);
    text[10] = 'T';
    return text;  // on the local clock, as RunStart reads a time without a zone
}

}  // namespace brennic
