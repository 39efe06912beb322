// Tonight's hourly forecast for a place, fetched from an Open-Meteo server,
// checked, saved as an air file, and where a run on it starts.
#pragma once

#include "app/core/tables/TimeSeries.h"
#include "support/HttpGet.h"

#include <string>

namespace brennic {

inline constexpr const char* DefaultForecastServer = "https://api.open-meteo.com";
inline constexpr const char* ForecastServerVariable = "BRENNIC_FORECAST_SERVER";

struct TPlace {
    double Latitude = 0, Longitude = 0;  // decimal degrees, north and east positive
};

// "LAT,LON"; throws EBrennicError naming what is wrong, before any request.
TPlace ParsePlace(const std::string& text);
std::string PlaceText(const TPlace& place);  // "47.5600,7.5800"

// The option's server, else the environment's, else Open-Meteo's own.
std::string ForecastServer(const std::string& option);
std::string ForecastUrl(const std::string& server, const TPlace& place);
// brennic/forecasts/ in the user's cache folder (or runtime folder), named
// after the place and the date; throws EForecastError when the user has
// neither.
std::string ForecastCachePath(const TPlace& place, double utcNow);

// A failed fetch: the message names the server and what went wrong.
class EForecastError : public EBrennicError {
public:
    using EBrennicError::EBrennicError;
};

// The most of an answer that is read: a two-day hourly forecast is some
// kilobytes.
inline constexpr std::size_t ForecastSizeLimit = std::size_t(4) << 20;

// Fetches, checks (a CSV table, its temperature_2m, reaching past utcNow)
// and saves atomically to `path`; nothing is written on failure. Throws
// EForecastError (EHttpError::Cancelled's kind as a cancel).
void FetchForecast(const std::string& server, const TPlace& place, const std::string& path,
                   const THttpOptions& options = {}, double utcNow = 0);

// The forecast's run start: the next whole hour of the place's clock, with
// "HH:MM" the next such time, or an ISO date-time (on the place's clock
// unless it has a zone); as an ISO date-time for the air choice.
std::string ForecastStart(const TTimeTable& table, double utcNow, const std::string& clock);

}  // namespace brennic
