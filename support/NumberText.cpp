#include "support/NumberText.h"

#include "support/LibStandard.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace brennic {

namespace {

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

}  // namespace

bool TryStrToFloat(std::u16string_view text, char16_t decimalSeparator, double& value)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == u' ') ++i;

    // Rebuild the number in the "C" form for from_chars, which ignores locales.
    std::string number;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::size_t intDigits = 0, fracDigits = 0;
    // Where the first non-zero digit stands, to tell an overflow from an
    // underflow by the decimal magnitude of the value.
    long firstIntIndex = -1;   // index of the first non-zero integer digit
    long firstFracIndex = -1;  // index of the first non-zero fraction digit
    while (i < n && IsDigit(text[i])) {
        number += char(text[i]);
        if (firstIntIndex < 0 && text[i] != u'0')
            firstIntIndex = long(intDigits);
        ++intDigits;
        ++i;
    }
    bool separator = false;
    if (i < n && text[i] == decimalSeparator) {
        separator = true;
        number += '.';
        ++i;
        while (i < n && IsDigit(text[i])) {
            number += char(text[i]);
            if (firstIntIndex < 0 && firstFracIndex < 0 && text[i] != u'0')
                firstFracIndex = long(fracDigits);
            ++fracDigits;
            ++i;
        }
    }
    if (intDigits + fracDigits == 0) {
        if (!separator)
            return false;
        number = "0";  // a lone decimal separator counts as 0
    }
    long long exponent = 0;  // held short of overflow, beyond any text's digit count
    if (i < n && (text[i] == u'E' || text[i] == u'e')) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            expNegative = text[i] == u'-';
            ++i;
        }
        while (i < n && IsDigit(text[i])) {
            if (exponent < 1000000000000000LL)
                exponent = exponent * 10 + (text[i] - u'0');
            ++i;
        }
        if (expNegative)
            exponent = -exponent;
    }
    while (i < n && text[i] == u' ') ++i;
    if (i != n)
        return false;

    if (firstIntIndex < 0 && firstFracIndex < 0) {
        value = negative ? -0.0 : 0.0;
        return true;
    }
    const long firstNonZero = firstIntIndex >= 0 ? long(intDigits) - 1 - firstIntIndex : -firstFracIndex - 1;
    number += 'e';
    number += std::to_string(exponent);
    double v = 0;
    const auto r = std::from_chars(number.data(), number.data() + number.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Too small for a double becomes zero; too large is refused.
        const long long magnitude = firstNonZero + exponent;
        if (magnitude >= 0)
            return false;
        v = 0;
    } else if (r.ec != std::errc() || r.ptr != number.data() + number.size() || !std::isfinite(v)) {
        return false;
    }
    value = negative ? -v : v;
    return true;
}

double StrToFloat(std::u16string_view text, char16_t decimalSeparator)
{
    double v;
    if (!TryStrToFloat(text, decimalSeparator, v))
        throw EConvertError("'" + ToUtf8(text) + "' is not a valid floating point value");
    return v;
}

bool TryStrToInt(std::u16string_view text, std::int32_t& value)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == u' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    unsigned base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i < n && (text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return false;
    const std::uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
    std::uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i];
        unsigned d;
        if (IsDigit(c))
            d = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        else
            return false;
        magnitude = magnitude * base + d;
        if (magnitude > limit)
            return false;
    }
    value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<std::int32_t>(magnitude);
    return true;
}

std::int32_t StrToInt(std::u16string_view text)
{
    std::int32_t v;
    if (!TryStrToInt(text, v))
        throw EConvertError("''" + ToUtf8(text) + "'' is not a valid integer value");
    return v;
}

void AppendFloat(std::u16string& out, double value, char16_t decimalSeparator)
{
    if (std::isnan(value)) {
        out += u"NAN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? u"-INF" : u"INF";
        return;
    }
    if (value == 0) {
        out += u'0';
        return;
    }

    // Fifteen significant digits, correctly rounded: d.dddddddddddddde+XX.
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    char digits[15];
    int count = 0;
    const char* p = buf;
    for (; p < r.ptr && *p != 'e'; ++p)
        if (*p != '.')
            digits[count++] = *p;
    int exp10 = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), r.ptr, exp10);
    // Near the top of the range, rounding up would write a number beyond it
    // that no reader takes back: keep the largest 15 digits that fit.
    static constexpr char largest[] = "179769313486231";
    if (exp10 == 308 && std::string_view(digits, 15) > std::string_view(largest, 15))
        std::copy(largest, largest + 15, digits);
    while (count > 1 && digits[count - 1] == '0') --count;
    const int e = exp10 + 1;  // value = 0.d1d2... x 10^e

    if (value < 0)
        out += u'-';
    if (e >= -3 && e <= 15) {
        if (e >= 1) {
            for (int k = 0; k < e; ++k) out += k < count ? char16_t(digits[k]) : u'0';
            if (count > e) {
                out += decimalSeparator;
                for (int k = e; k < count; ++k) out += char16_t(digits[k]);
            }
        } else {
            out += u'0';
            out += decimalSeparator;
            for (int k = 0; k < -e; ++k) out += u'0';
            for (int k = 0; k < count; ++k) out += char16_t(digits[k]);
        }
        return;
    }
    out += char16_t(digits[0]);
    if (count > 1) {
        out += decimalSeparator;
        for (int k = 1; k < count; ++k) out += char16_t(digits[k]);
    }
    out += u'E';
    int x = e - 1;
    if (x < 0) {
        out += u'-';
        x = -x;
    }
    char expDigits[8];
    const auto er = std::to_chars(expDigits, expDigits + sizeof expDigits, x);
    for (auto len = er.ptr - expDigits; len < 3; ++len) out += u'0';
    for (const char* q = expDigits; q < er.ptr; ++q) out += char16_t(*q);
}

std::u16string FormatFloat(double value, char16_t decimalSeparator)
{
    std::u16string s;
    AppendFloat(s, value, decimalSeparator);
    return s;
}


}  // namespace brennic
