// Which column of a table holds what: the outdoor air, the dew point, the
// humidity, the sky; and in which unit its temperatures are written.
#pragma once

#include <string>
#include <string_view>

namespace brennic {

struct TTimeTable;

// The air column by default: a known source's own, else among the columns
// named as temperatures (temp, celsius, fahrenheit, T_Ambient) or whose
// units row says one, not indoor, dew, sky, highs, lows, feels-like, a row
// counter or what the source says is never the air, the first named
// outdoor, outside, out, air or ambient, else the first; failing all, the
// only column of values, or -1 when there are several.
int DefaultAirColumn(const TTimeTable& table);
// "temp (5.2), RH (87)": the columns after the time with their first values,
// for a refusal to offer.
std::string ColumnCandidates(const TTimeTable& table);
// The dew point by default (not an indoor one), or -1.
int DefaultDewColumn(const TTimeTable& table);
// The outdoor relative humidity by default, or -1.
int DefaultHumidityColumn(const TTimeTable& table);

// A temperature written in degrees Fahrenheit by its header: °F, ℉, "(F)",
// "F)", or a name ending in F after Temperature, Dewpoint or Dew Point.
bool FahrenheitHeader(std::string_view name);
// A unit as a units row or a metadata line writes it: "°F", "F", "Deg F",
// "degF", "*F", "Fahrenheit", "℉"; and "°C", "C", "Deg C", "degC", "*C",
// "Celsius", "℃". A header naming either ("Temp (degC)") says it too.
bool FahrenheitUnit(std::string_view unit);
bool CelsiusUnit(std::string_view unit);
bool CelsiusHeader(std::string_view name);
double CelsiusFromFahrenheit(double f);

// The dew point (°C) of air at t (°C) and relative humidity rh (%), by the
// Magnus formula with the coefficients of Sonntag (1990):
// γ = ln(RH/100) + 17.62·t/(243.12 + t), Td = 243.12·γ/(17.62 − γ).
inline constexpr double MagnusA = 17.62;   // Sonntag (1990), over water
inline constexpr double MagnusB = 243.12;  // °C
double MagnusDewPoint(double t, double rh);

}  // namespace brennic

namespace brennic {
// The air column named as such (as DefaultAirColumn), or -1 when no column is.
int NamedAirColumn(const TTimeTable& table);
}  // namespace brennic
