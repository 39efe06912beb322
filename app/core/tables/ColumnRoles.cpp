#include "app/core/tables/ColumnRoles.h"

#include "app/core/results/OutputColumns.h"
#include "app/core/tables/KnownSources.h"
#include "app/core/tables/TextCells.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"
#include "app/core/tables/TimeSeries.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace brennic {

namespace {


bool HasWord(const std::vector<std::string>& words, std::initializer_list<std::string_view> any)
{
    for (const std::string& w : words)
        for (std::string_view a : any)
            if (w == a)
                return true;
    return false;
}

// Indoor sensors, and the highs, lows and derived values beside the reading.
bool NotOutdoorReading(std::string_view name)
{
    const std::vector<std::string> words = Words(name);
    return Contains(name, "indoor") || Contains(name, "inside") || Contains(name, "apparent") ||
           Contains(name, "feels") || Contains(name, "soil") || Contains(name, "water") ||
           HasWord(words, {"in", "hi", "high", "low", "lo", "max", "min", "maximum", "minimum", "chill", "heat", "wet",
                           "cpu", "room"});
}

bool Outdoor(std::string_view name)
{
    return Contains(name, "outdoor") || Contains(name, "outside") ||
           HasWord(Words(name), {"out", "air", "ambient", "2m", "t2m"});
}

// A name that says the outdoor air itself ("air", "Outside", "ambient"),
// not another of its quantities.
bool AirName(std::string_view name)
{
    return Outdoor(name) && !HasWord(Words(name), {"pressure", "humidity", "humid", "rh", "speed", "wind", "rain",
                                                   "quality", "co2", "pm25", "pm10", "flow", "direction", "density",
                                                   "gust", "baro", "voc"});
}

// A column no role takes: one the source says is never the air, or one
// that numbers the rows.
bool Excluded(const TTimeTable& t, const TKnownSource& source, std::size_t i)
{
    return NameListed(t.Names[i], source.NeverAir) || CounterName(t.Names[i]);
}

// The first of the source's own names for a role that the table has.
int SourceColumn(const TTimeTable& t, const std::vector<std::string>& names)
{
    for (const std::string& wanted : names)
        if (const int c = FindColumn(t, wanted); c > 0)
            return c;
    return -1;
}

bool TemperatureUnit(const TTimeTable& t, std::size_t i)
{
    return i >= 1 && i - 1 < t.Units.size() && (CelsiusUnit(t.Units[i - 1]) || FahrenheitUnit(t.Units[i - 1]));
}

template <typename Is>
int Preferred(const TTimeTable& t, Is is)
{
    const TKnownSource source = KnownSourceNamed(t.Source);
    int first = -1;
    for (std::size_t i = 1; i < t.Names.size(); ++i) {
        const std::string name = BareName(t.Names[i]);
        if (!is(name, i) || NotOutdoorReading(name) || Excluded(t, source, i))
            continue;
        if (Outdoor(name))
            return int(i);
        if (first < 0)
            first = int(i);
    }
    return first;
}

}  // namespace

int DefaultAirColumn(const TTimeTable& t)
{
    const int found = NamedAirColumn(t);
    if (found > 0)
        return found;
    // No column says it is a temperature: a lone column of values is taken
    // (the caller says so); among several, none is.
    const TKnownSource source = KnownSourceNamed(t.Source);
    int only = -1;
    for (std::size_t i = 1; i < t.Names.size(); ++i) {
        const std::vector<double>& values = t.Columns[i - 1];
        if (Excluded(t, source, i) || std::all_of(values.begin(), values.end(), [](double v) { return std::isnan(v); }))
            continue;  // a column of text is no candidate
        if (only > 0)
            return -1;
        only = int(i);
    }
    return only;
}

int NamedAirColumn(const TTimeTable& t)
{
    for (std::size_t i = 1; i < t.Names.size(); ++i)
        if (EqualsIgnoreCase(BareName(t.Names[i]), OutputColumns[oAir].Name))
            return int(i);
    if (const int c = SourceColumn(t, KnownSourceNamed(t.Source).Air); c > 0)
        return c;
    return Preferred(t, [&t](const std::string& name, std::size_t i) {
        return (Contains(name, "temp") || Contains(name, "celsius") || Contains(name, "fahrenheit") ||
                TemperatureUnit(t, i) || AirName(name)) &&
               !Contains(name, "dew") && !Contains(name, "sky");
    });
}

int DefaultDewColumn(const TTimeTable& t)
{
    if (const int c = SourceColumn(t, KnownSourceNamed(t.Source).Dew); c > 0)
        return c;
    return Preferred(t, [](const std::string& name, std::size_t) { return Contains(name, "dew"); });
}

int DefaultHumidityColumn(const TTimeTable& t)
{
    return Preferred(t, [](const std::string& name, std::size_t) {
        return Contains(name, "humid") || HasWord(Words(name), {"rh", "hum"});
    });
}

std::string ColumnCandidates(const TTimeTable& t)
{
    std::string list;
    for (std::size_t i = 1; i < t.Names.size(); ++i) {
        const std::vector<double>& values = t.Columns[i - 1];
        const auto first = std::find_if(values.begin(), values.end(), [](double v) { return !std::isnan(v); });
        list += (list.empty() ? "" : ", ") + t.Names[i] +
                (first == values.end() ? std::string(" (no number)")
                                       : " (" + ToUtf8(FormatFloat(std::round(*first * 100) / 100, u'.')) + ")");
    }
    return list;
}

bool FahrenheitHeader(std::string_view name)
{
    if (name.find("\u00b0F") != std::string_view::npos || name.find("\u2109") != std::string_view::npos ||
        name.find("F)") != std::string_view::npos || Contains(name, "fahrenheit") || Contains(name, "degF") ||
        Contains(name, "deg F") || Contains(name, "*F") || name.find("[F]") != std::string_view::npos)
        return true;
    const std::string_view bare = Trim(Unquoted(name));
    if (bare.size() < 2 || bare.back() != 'F')
        return false;
    const std::string_view stem = Trim(bare.substr(0, bare.size() - 1));
    for (std::string_view word : {"temperature", "temp", "dewpoint", "dew point", "dew pt"})
        if (stem.size() >= word.size() && EqualsIgnoreCase(stem.substr(stem.size() - word.size()), word))
            return true;
    return false;
}

namespace {

bool UnitIs(std::string_view unit, char letter, std::string_view word, std::string_view symbol)
{
    std::string t;
    for (char c : Trim(Unquoted(unit)))
        if (c != ' ' && c != '[' && c != ']' && c != '(' && c != ')' && c != '_')
            t += LowerAscii(c);
    const std::string l(1, LowerAscii(letter));
    return t == l || t == "\u00b0" + l || t == "deg" + l || t == "*" + l || t == "\u00ba" + l || t == word ||
           t == symbol;
}

}  // namespace

bool FahrenheitUnit(std::string_view unit)
{
    return UnitIs(unit, 'F', "fahrenheit", "\u2109");
}

bool CelsiusUnit(std::string_view unit)
{
    return UnitIs(unit, 'C', "celsius", "\u2103");
}

bool CelsiusHeader(std::string_view name)
{
    const std::string_view t = Unquoted(name);
    if (t.find("\u00b0C") != std::string_view::npos || t.find("\u2103") != std::string_view::npos ||
        Contains(t, "degC") || Contains(t, "deg C") || Contains(t, "*C") || Contains(t, "celsius"))
        return true;
    const std::size_t open = t.rfind('('), close = t.rfind(')');
    return open != std::string_view::npos && close > open && CelsiusUnit(t.substr(open + 1, close - open - 1));
}

double CelsiusFromFahrenheit(double f)
{
    return (f - 32) * 5 / 9;
}

double MagnusDewPoint(double t, double rh)
{
    const double gamma = std::log(rh / 100) + MagnusA * t / (MagnusB + t);
    return MagnusB * gamma / (MagnusA - gamma);
}

}  // namespace brennic
