// Number conversion and formatting, locale-independent: the caller passes
// the decimal separator.
#pragma once

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brennic {

class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Whole text as a decimal number: leading and trailing spaces, an optional
// sign, digits with an optional fraction after the decimal separator, an
// optional exponent. Throws EConvertError
// "'<text>' is not a valid floating point value".
double StrToFloat(std::u16string_view text, char16_t decimalSeparator);
bool TryStrToFloat(std::u16string_view text, char16_t decimalSeparator, double& value);

// Whole text as a 32-bit signed integer: leading spaces, a sign, decimal
// digits or hexadecimal after "$", "x" or "0x". Throws EConvertError
// "''<text>'' is not a valid integer value".
std::int32_t StrToInt(std::u16string_view text);
bool TryStrToInt(std::u16string_view text, std::int32_t& value);

// General format with 15 significant digits: fixed notation from 0.0001 to
// below 1e15, otherwise "d.dddE-ddd"; "NAN", "INF", "-INF" for the rest.
void AppendFloat(std::u16string& out, double value, char16_t decimalSeparator);
std::u16string FormatFloat(double value, char16_t decimalSeparator);

// Rounds to the nearest integer, halves to the even neighbour.
inline double RoundHalfEven(double v)
{
    // By arithmetic, whatever the rounding mode (and without asking for it:
    // the strip rounds once per element and step). From 2^52 up every double
    // is whole; NaN and the infinities pass through.
    constexpr double AllWhole = 4503599627370496.0;
    if (!(std::fabs(v) < AllWhole))
        return v;
    // floor by truncation: no library call where the processor has no
    // rounding instruction of its own.
    const auto whole = static_cast<std::int64_t>(v);
    const double truncated = static_cast<double>(whole);
    const double below = truncated > v ? truncated - 1 : truncated;
    const double fraction = v - below;  // exact below 2^52
    const bool odd = ((truncated > v ? whole - 1 : whole) & 1) != 0;
    const double r = fraction > 0.5 ? below + 1 : fraction < 0.5 ? below : odd ? below + 1 : below;
    return r == 0 ? std::copysign(0.0, v) : r;
}

}  // namespace brennic
