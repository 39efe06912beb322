// The units the window shows temperatures and lengths in. The program
// computes, stores and writes in degrees Celsius and millimetres; a user
// who thinks in degrees Fahrenheit and inches sees and types those.
#pragma once

#include <string>

namespace brennic {

enum class TTemperatureUnit { Celsius, Fahrenheit };
enum class TLengthUnit { Millimetre, Inch };

struct TDisplayUnits {
    TTemperatureUnit Temperature = TTemperatureUnit::Celsius;
    TLengthUnit Length = TLengthUnit::Millimetre;
    bool operator==(const TDisplayUnits&) const = default;
    bool Default() const { return *this == TDisplayUnits{}; }
};

// Fahrenheit's scale: 1.8 degrees per kelvin, water freezing at 32 degrees.
inline constexpr double FahrenheitPerKelvin = 1.8;
inline constexpr double FahrenheitAtZeroCelsius = 32;
// The inch and the foot of the international yard and pound agreement (1959).
inline constexpr double MillimetresPerInch = 25.4;
inline constexpr double MetresPerFoot = 0.3048;

// A temperature, and a difference of temperatures (which has no offset).
double TemperatureShown(double celsius, TTemperatureUnit unit);
double TemperatureDifferenceShown(double kelvin, TTemperatureUnit unit);
double CelsiusFromShown(double shown, TTemperatureUnit unit);
// "°C" or "°F".
std::string TemperatureSymbol(TTemperatureUnit unit);

// Millimetres as inches, metres as feet, and back.
double MillimetresShown(double millimetres, TLengthUnit unit);
double MillimetresFromShown(double shown, TLengthUnit unit);
double MetresShown(double metres, TLengthUnit unit);
double MetresFromShown(double shown, TLengthUnit unit);
// "mm" or "in"; "m" or "ft".
std::string MillimetreSymbol(TLengthUnit unit);
std::string MetreSymbol(TLengthUnit unit);

}  // namespace brennic
