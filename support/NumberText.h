// Number conversion and formatting, locale-independent: the caller passes
// the decimal separator.
#pragma once

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
double RoundHalfEven(double v);

}  // namespace brennic
