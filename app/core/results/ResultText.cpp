#include "app/core/results/ResultText.h"

#include "app/core/results/OutputColumns.h"

#include "support/NumberText.h"

#include "support/LibStandard.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace brennic {

TRegionalSettings MakeRegionalSettings(std::optional<char16_t> decimal, std::optional<char16_t> list)
{
    TRegionalSettings s;
    s.DecimalSeparator = decimal.value_or(u'.');
    s.ListSeparator = list.value_or(u',');
    if (s.ListSeparator == s.DecimalSeparator)
        s.ListSeparator = s.DecimalSeparator == u';' ? u',' : u';';
    return s;
}

std::string ShownFixedText(double v, int decimals, char16_t sep)
{
    std::string s = FixedText(v, decimals, sep);
    if (!s.empty() && s[0] == '-')
        s.replace(0, 1, "\u2212");
    return s;
}

TStepValues StepValues(std::span<const double> temperatures, double time)
{
    const std::size_t n = temperatures.size() - 2;
    const double air = temperatures[0];
    double core = std::max(air, temperatures[n + 1]);
    double glass = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i <= n; ++i) {
        core = std::max(core, temperatures[i]);
        glass = std::max(glass, temperatures[i] - air);
    }
    return {time, air, temperatures[1], temperatures[n], core, glass};
}

std::string FixedText(double v, int decimals, char16_t sep)
{
    // Fixed notation of the largest double takes 309 digits before the point.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (r.ec != std::errc())
        return ToUtf8(FormatFloat(v, sep));
    std::string s(buf, r.ptr);
    if (s.find_first_not_of("-0.") == std::string::npos && s[0] == '-')
        s.erase(0, 1);  // no "-0.0"
    const auto dot = s.find('.');
    if (dot != std::string::npos)
        s.replace(dot, 1, ToUtf8(std::u16string(1, sep)));
    return s;
}

std::string SignificantText(double v, int digits, char16_t sep)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits);
    std::string s(buf, r.ec == std::errc() ? r.ptr : buf);
    const auto dot = s.find('.');
    if (dot != std::string::npos)
        s.replace(dot, 1, ToUtf8(std::u16string(1, sep)));
    return s;
}

std::string MinutesText(double seconds, char16_t sep)
{
    return FixedText(seconds / 60, 1, sep) + " min";
}

TUncertainText UncertainText(double value, double uncertainty, char16_t sep)
{
    if (!std::isfinite(value))
        return {"unknown", "unknown"};
    if (!(std::isfinite(uncertainty) && uncertainty > 0)) {
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 4);
        std::string v(buf, r.ptr);
        if (const auto dot = v.find('.'); dot != std::string::npos)
            v.replace(dot, 1, ToUtf8(std::u16string(1, sep)));
        return {v, "unknown"};
    }
    // Decimals that leave two significant digits of the uncertainty; to the
    // left of the point both are rounded to that power of ten.
    constexpr int MaxDecimals = 12;
    int decimals = std::min(1 - int(std::floor(std::log10(uncertainty))), MaxDecimals);
    if (decimals >= 0)
        return {FixedText(value, decimals, sep), FixedText(uncertainty, decimals, sep)};
    const double unit = std::pow(10.0, -decimals);
    return {FixedText(std::round(value / unit) * unit, 0, sep), FixedText(std::round(uncertainty / unit) * unit, 0, sep)};
}

std::u16string ResultHeader(const TRegionalSettings& settings)
{
    std::u16string h;
    for (const TOutputColumn& c : OutputColumns) {
        if (!h.empty())
            h += settings.ListSeparator;
        h += u'"';
        for (const char* p = c.Name; *p; ++p) h += char16_t(*p);
        h += u'"';
    }
    return h;
}

void AppendResultRow(std::u16string& out, const TStepValues& v, const TRegionalSettings& settings)
{
    const char16_t dec = settings.DecimalSeparator;
    AppendFloat(out, v.*OutputColumns[0].Value, dec);
    for (std::size_t c = 1; c < OutputColumns.size(); ++c) {
        out += settings.ListSeparator;
        AppendFloat(out, v.*OutputColumns[c].Value, dec);
    }
}

std::u16string ResultRow(const TStepValues& v, const TRegionalSettings& settings)
{
    std::u16string row;
    row.reserve(64);
    AppendResultRow(row, v, settings);
    return row;
}

}  // namespace brennic
