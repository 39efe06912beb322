#include "app/core/ResultText.h"

#include "app/core/OutputColumns.h"

#include "support/NumberText.h"

#include <algorithm>
#include <cmath>

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

TStepValues StepValues(std::span<const double> temperatures, double time)
{
    const std::size_t n = temperatures.size() - 2;
    const double air = temperatures[0];
    double core = std::max(air, temperatures[n + 1]);
    double glass = 0;
    for (std::size_t i = 1; i <= n; ++i) {
        core = std::max(core, temperatures[i]);
        glass = std::max(glass, std::fabs(temperatures[i] - air));
    }
    return {time, air, temperatures[1], temperatures[n], core, glass};
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
