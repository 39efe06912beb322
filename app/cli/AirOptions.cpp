#include "app/cli/AirOptions.h"
#include "app/cli/CliOutput.h"

#include "app/core/tables/Forecast.h"
#include "support/LocalClock.h"

#include <cstdio>

namespace brennic {

void AddAirOptions(CLI::App& app, TAirFileChoice& air, TForecastOptions& forecast)
{
    app.add_option("--air-file", air.Path, "take the air from this table of times and temperatures");
    app.add_option("--air-column", air.AirColumn,
                   "its air column or Home Assistant entity (default: the outdoor temperature)");
    app.add_option("--time-column", air.TimeColumn,
                   "its time column; DATE+TIME joins two (default: the one holding date-times)");
    app.add_option("--date-order", air.DateOrder,
                   "dmy, mdy or ymd for dates like 11/12/25 (default: from the data, else the locale)");
    app.add_option("--time-zone", air.TimeZone,
                   "the clock of times the file leaves unmarked: UTC, local or +HH:MM (default: the source's "
                   "convention, else local)");
    app.add_option("--start", air.Start,
                   "time 0 of the run: an ISO date-time, a date (clock times alone start on it) or HH:MM (default: "
                   "first row)");
    app.add_option("--sky-column", air.SkyColumn, "its sky temperature column (default: one named ...sky...)");
    app.add_option("--dew-column", air.DewColumn,
                   "its dew point column (default: one named ...dew..., else from the humidity)");
    app.add_option("--forecast", forecast.Place,
                   "fetch tonight's hourly forecast for LAT,LON (decimal degrees, north and east positive) and take "
                   "the air from it");
    app.add_option("--forecast-server", forecast.Server,
                   std::string("the Open-Meteo server to ask (default: $") + ForecastServerVariable + ", else " +
                       DefaultForecastServer + ")");
    app.add_option("--forecast-save", forecast.Save,
                   "where to save the forecast (default: brennic/forecasts/ in the cache folder)");
}

void CheckAirCombinations(const CLI::App& app, const TAirFileChoice& air, const TForecastOptions& forecast,
                          const std::string& scenario)
{
    if (!forecast.Place.empty() && !air.Path.empty())
        throw EBrennicError(app.count("--air-file") > 0 || scenario.empty()
                                ? std::string("--forecast: the air comes from --air-file; give one or the other")
                                : "--forecast: the air comes from the scenario " + scenario + " (air-file = " + air.Path +
                                      "); leave out one or the other");
    for (const char* option : {"--forecast-server", "--forecast-save"})
        if (forecast.Place.empty() && app.count(option) > 0)
            throw EBrennicError(std::string(option) + ": it goes with --forecast");
    EDateOrder order;
    if (!ParseDateOrder(air.DateOrder, order))
        throw EBrennicError("--date-order: '" + air.DateOrder + "' is none of dmy, mdy, ymd");
    int offset;
    if (!air.TimeZone.empty() && air.TimeZone != "local" && !ParseTimeZone(air.TimeZone, offset))
        throw EBrennicError("--time-zone: '" + air.TimeZone + "' is none of UTC, local, +HH:MM, -HH:MM");
}

void ResolveForecast(const TForecastOptions& forecast, TAirFileChoice& air)
{
    if (forecast.Place.empty())
        return;
    TPlace place;
    try {
        place = ParsePlace(forecast.Place);
    } catch (const EBrennicError& e) {
        throw EBrennicError(std::string("--forecast: ") + e.what());
    }
    const double now = UtcNow();
    const std::string path = forecast.Save.empty() ? ForecastCachePath(place, now) : forecast.Save;
    FetchForecast(ForecastServer(forecast.Server), place, path, {}, now);
    const TTimeTable table = ReadTimeTable(path, AirTableOptions(air));
    Say("the forecast is saved as " + path);
    air.Start = ForecastStart(table, now, air.Start);
    air.Path = path;
}

void PrintNotes(const std::string& file, const std::vector<std::string>& notes)
{
    for (const std::string& note : notes) Say(file + ": " + note);
}

}  // namespace brennic
