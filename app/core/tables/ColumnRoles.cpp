#include "app/core/tables/ColumnRoles.h"

#include "app/core/results/OutputColumns.h"
#include "app/core/tables/TextCells.h"
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

template <typename Is>
int Preferred(const TTimeTable& t, Is is)
{
    int first = -1;
    for (std::size_t i = 1; i < t.Names.size(); ++i) {
        const std::string name = BareName(t.Names[i]);
        if (!is(name) || NotOutdoorReading(name))
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
    return found > 0 ? found : 1;
}

int NamedAirColumn(const TTimeTable& t)
{
    for (std::size_t i = 1; i < t.Names.size(); ++i)
        if (EqualsIgnoreCase(BareName(t.Names[i]), OutputColumns[oAir].Name))
            return int(i);
    return Preferred(t, [](const std::string& name) {
        return (Contains(name, "temp") || Contains(name, "celsius") || Contains(name, "fahrenheit")) &&
               !Contains(name, "dew") && !Contains(name, "sky");
    });
}

int DefaultDewColumn(const TTimeTable& t)
{
    return Preferred(t, [](const std::string& name) { return Contains(name, "dew"); });
}

int DefaultHumidityColumn(const TTimeTable& t)
{
    return Preferred(t, [](const std::string& name) {
        return Contains(name, "humid") || HasWord(Words(name), {"rh", "hum"});
    });
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
