#include "app/core/results/DisplayUnits.h"

namespace brennic {

double TemperatureShown(double celsius, TTemperatureUnit unit)
{
    return unit == TTemperatureUnit::Fahrenheit ? celsius * FahrenheitPerKelvin + FahrenheitAtZeroCelsius : celsius;
}

double TemperatureDifferenceShown(double kelvin, TTemperatureUnit unit)
{
    return unit == TTemperatureUnit::Fahrenheit ? kelvin * FahrenheitPerKelvin : kelvin;
}

double CelsiusFromShown(double shown, TTemperatureUnit unit)
{
    return unit == TTemperatureUnit::Fahrenheit ? (shown - FahrenheitAtZeroCelsius) / FahrenheitPerKelvin : shown;
}

std::string TemperatureSymbol(TTemperatureUnit unit)
{
    return unit == TTemperatureUnit::Fahrenheit ? "\u00b0F" : "\u00b0C";
}

double MillimetresShown(double millimetres, TLengthUnit unit)
{
    return unit == TLengthUnit::Inch ? millimetres / MillimetresPerInch : millimetres;
}

double MillimetresFromShown(double shown, TLengthUnit unit)
{
    return unit == TLengthUnit::Inch ? shown * MillimetresPerInch : shown;
}

double MetresShown(double metres, TLengthUnit unit)
{
    return unit == TLengthUnit::Inch ? metres / MetresPerFoot : metres;
}

double MetresFromShown(double shown, TLengthUnit unit)
{
    return unit == TLengthUnit::Inch ? shown * MetresPerFoot : shown;
}

std::string MillimetreSymbol(TLengthUnit unit)
{
    return unit == TLengthUnit::Inch ? "in" : "mm";
}

std::string MetreSymbol(TLengthUnit unit)
{
    return unit == TLengthUnit::Inch ? "ft" : "m";
}

}  // namespace brennic
