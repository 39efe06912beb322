#include "app/core/inputs/FieldUnits.h"

#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace brennic {

namespace {

double Shown(TQuantity q, double v, const TDisplayUnits& u)
{
    switch (q) {
    case TQuantity::Temperature: return TemperatureShown(v, u.Temperature);
    case TQuantity::Millimetres: return MillimetresShown(v, u.Length);
    case TQuantity::Metres: return MetresShown(v, u.Length);
    case TQuantity::Other: break;
    }
    return v;
}

double Own(TQuantity q, double v, const TDisplayUnits& u)
{
    switch (q) {
    case TQuantity::Temperature: return CelsiusFromShown(v, u.Temperature);
    case TQuantity::Millimetres: return MillimetresFromShown(v, u.Length);
    case TQuantity::Metres: return MetresFromShown(v, u.Length);
    case TQuantity::Other: break;
    }
    return v;
}

bool Converts(TQuantity q, const TDisplayUnits& u)
{
    if (q == TQuantity::Temperature)
        return u.Temperature != TTemperatureUnit::Celsius;
    return q != TQuantity::Other && u.Length != TLengthUnit::Millimetre;
}

std::string Symbol(int field, std::size_t item, const std::string& own, const TDisplayUnits& u)
{
    switch (const TQuantity q = FieldQuantity(field, item); q) {
    case TQuantity::Temperature: return Converts(q, u) ? TemperatureSymbol(u.Temperature) : own;
    case TQuantity::Millimetres: return Converts(q, u) ? MillimetreSymbol(u.Length) : own;
    case TQuantity::Metres: return Converts(q, u) ? MetreSymbol(u.Length) : own;
    case TQuantity::Other: break;
    }
    return own;
}

// Rounded to digits significant digits from 1 to below 10^digits, to
// digits - 1 decimals below one (so that the -4e-14 of a conversion there
// is 0), to a whole number above; through text, independent of the C locale.
double RoundedSignificant(double v, int digits)
{
    if (!std::isfinite(v))
        return v;
    const int magnitude = int(std::floor(std::log10(std::max(std::fabs(v), 1.0))));
    char buffer[400];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed,
                                       std::max(0, digits - 1 - magnitude));
    double rounded = v;
    if (written.ec == std::errc() && std::from_chars(buffer, written.ptr, rounded).ec == std::errc())
        return rounded == 0 ? 0.0 : rounded;  // no "-0" in a field
    return v;
}

// The text with each number converted; as it is when one does not convert.
template <typename Convert>
std::u16string Converted(int field, std::u16string_view text, char16_t dec, Convert convert)
{
    const TInputField& f = InputFields[field];
    if (!f.List) {
        double v = 0;
        return TryStrToFloat(text, dec, v) ? FormatFloat(convert(FieldQuantity(field), v), dec) : std::u16string(text);
    }
    const std::vector<double> values = ListValues(text, dec);
    if (values.empty())
        return std::u16string(text);
    std::u16string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i)
            out += ListSeparatorFor(dec);
        out += FormatFloat(convert(FieldQuantity(field, i), values[i]), dec);
    }
    return out;
}

}  // namespace

TQuantity FieldQuantity(int field, std::size_t item)
{
    switch (field) {
    case fInitialMirrorTemp:
    case fInitialAirTemp:
    case fFinalAirTemp:
    case fDewPoint: return TQuantity::Temperature;
    case fThickness:
    case fDiameter:
    case fTubeLength: return TQuantity::Millimetres;
    case fSiteElevation: return TQuantity::Metres;
    case fBackFan: return item == 0 || item == 2 ? TQuantity::Millimetres : TQuantity::Other;  // opening, speed, distance
    default: return TQuantity::Other;
    }
}

bool FieldConverted(int field, const TDisplayUnits& units)
{
    const std::size_t items = InputFields[field].List ? 3 : 1;
    for (std::size_t i = 0; i < items; ++i)
        if (Converts(FieldQuantity(field, i), units))
            return true;
    return false;
}

std::string FieldUnitShown(int field, const TDisplayUnits& units)
{
    const TInputField& f = InputFields[field];
    if (!FieldConverted(field, units))
        return f.Unit;
    // A list's units are written "mm, m/s, mm".
    std::string shown, rest = f.Unit;
    for (std::size_t item = 0;; ++item) {
        const std::size_t comma = rest.find(", ");
        shown += Symbol(field, item, rest.substr(0, comma), units);
        if (comma == std::string::npos)
            return shown;
        shown += ", ";
        rest.erase(0, comma + 2);
    }
}

std::u16string FieldTextShown(int field, std::u16string_view own, const TDisplayUnits& units, char16_t dec)
{
    if (!FieldConverted(field, units))
        return std::u16string(own);
    return Converted(field, own, dec, [&](TQuantity q, double v) {
        return Converts(q, units) ? RoundedSignificant(Shown(q, v, units), ShownDigits) : v;
    });
}

std::u16string FieldTextFromShown(int field, std::u16string_view shown, const TDisplayUnits& units, char16_t dec)
{
    if (!FieldConverted(field, units))
        return std::u16string(shown);
    return Converted(field, shown, dec, [&](TQuantity q, double v) { return Converts(q, units) ? Own(q, v, units) : v; });
}

std::string RefusalInShownUnits(int field, std::u16string_view shown, std::u16string_view own, const std::string& rule,
                                const TDisplayUnits& units, TFieldNaming naming)
{
    const TInputField& f = InputFields[field];
    std::string typed = ToUtf8(shown);
    if (FieldConverted(field, units) && shown != own)
        typed += " " + FieldUnitShown(field, units) + " (" + ToUtf8(own) + " " + f.Unit + ")";
    return std::string("\"") + FieldName(field, naming) + "\" is " + typed + ": " + rule;
}

}  // namespace brennic
