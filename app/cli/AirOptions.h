// The command line's air options: an air file and how to read it, or
// tonight's forecast for a place.
#pragma once

#include "app/core/tables/AirSource.h"

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace brennic {

struct TForecastOptions {
    std::string Place;   // "LAT,LON"
    std::string Server;  // empty: the environment's, else Open-Meteo's
    std::string Save;    // empty: the cache folder
};

void AddAirOptions(CLI::App& app, TAirFileChoice& air, TForecastOptions& forecast);
// Throws UsageError-like EBrennicError for options that do not go together.
// scenario: the scenario file the options were completed from, if any.
void CheckAirCombinations(const CLI::App& app, const TAirFileChoice& air, const TForecastOptions& forecast,
                          const std::string& scenario);
// Fetches the forecast when one is asked for and makes it the air file,
// starting at the next whole hour (or the next --start HH:MM) of the place.
// Throws EBrennicError for a place that is none (before any request) and
// EForecastError when the fetch fails.
void ResolveForecast(const TForecastOptions& forecast, TAirFileChoice& air);
// The notes of how a file was read, on standard error.
void PrintNotes(const std::string& file, const std::vector<std::string>& notes);

}  // namespace brennic
