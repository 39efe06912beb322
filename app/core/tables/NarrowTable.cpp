#include "app/core/tables/NarrowTable.h"

#include "app/core/tables/ColumnRoles.h"
#include "app/core/tables/TextCells.h"
#include "support/LibStandard.h"
#include "support/LocalClock.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace brennic {

namespace {

int Field(const std::vector<std::string>& names, std::initializer_list<std::string_view> wanted)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        for (std::string_view n : wanted)
            if (EqualsIgnoreCase(Trim(names[i]), n))
                return int(i);
    return -1;
}

// The three narrow layouts: one reading per row, the series named in a
// column. Home Assistant's history, Grafana's "series as rows" export and
// InfluxDB's annotated CSV.
enum class ENarrow { None, HomeAssistant, Grafana, Influx };

ENarrow Kind(const TTableHead& h)
{
    if (!h.HasHeader)
        return ENarrow::None;
    if (Field(h.Names, {"entity_id"}) >= 0 && Field(h.Names, {"state"}) >= 0 &&
        Field(h.Names, {"last_changed", "last_updated"}) >= 0)
        return ENarrow::HomeAssistant;
    if (Field(h.Names, {"_time"}) >= 0 && Field(h.Names, {"_value"}) >= 0)
        return ENarrow::Influx;
    if (h.Names.size() == 3 && Field(h.Names, {"Series"}) == 0 && Field(h.Names, {"Time"}) == 1 &&
        Field(h.Names, {"Value"}) == 2)
        return ENarrow::Grafana;
    return ENarrow::None;
}

struct TReading {
    double Time;
    std::size_t Entity, Line;
    std::string State;
};

// Readings into one column per series, in time order.
void Widen(std::vector<TReading>& readings, std::size_t series, TTimeTable& t)
{
    if (readings.empty())
        RefuseTable(t.File, 0, "no readings");
    std::stable_sort(readings.begin(), readings.end(), [](const auto& a, const auto& b) { return a.Time < b.Time; });
    t.Columns.assign(series, {});
    t.Faults.assign(series, {});
    t.Fahrenheit.assign(series, 0);
    t.Tenths.assign(series, 0);
    t.Units.assign(series, "");
    for (const TReading& r : readings) {
        if (t.Times.empty() || r.Time > t.Times.back()) {
            t.Times.push_back(r.Time);
            t.Lines.push_back(r.Line);
            for (auto& column : t.Columns) column.push_back(std::numeric_limits<double>::quiet_NaN());
        } else if (!std::isnan(t.Columns[r.Entity].back())) {
            RefuseTable(t.File, r.Line, "\"" + t.Names[r.Entity + 1] + "\" has a second reading at the same time");
        }
        if (t.Times.back() - t.Times.front() > 10 * 365.25 * 86400)
            RefuseTable(t.File, r.Line, "the readings span more than 10 years");
        double v;
        if (Number(r.State, false, v))
            t.Columns[r.Entity].back() = v;
        else if (!GapCell(r.State) && !t.Faults[r.Entity].Line)
            t.Faults[r.Entity] = {r.Line, r.State};
    }
    t.ClockTimes = true;
    t.TimesReadAs = "date-times";
}

// A reading's time: with a zone (UTC scale), or without (local, as noted).
double ReadingTime(std::string_view when, const TTimeTable& t, std::size_t line, bool& zone)
{
    double seconds;
    int offset;
    if (!ParseDateTime(when, seconds, offset, &zone))
        RefuseTable(t.File, line, "the time '" + ShownText(when) + "' is not a date-time");
    return seconds;
}

TTimeTable ReadRows(const TCleanLines& c, const TTableHead& h, ENarrow kind, TTimeTable t)
{
    const int entityField =
        kind == ENarrow::HomeAssistant ? Field(h.Names, {"entity_id"}) : Field(h.Names, {"Series"});
    const int stateField = kind == ENarrow::HomeAssistant ? Field(h.Names, {"state"}) : Field(h.Names, {"Value"});
    const int timeField =
        kind == ENarrow::HomeAssistant ? Field(h.Names, {"last_changed", "last_updated"}) : Field(h.Names, {"Time"});
    std::vector<TReading> readings;
    std::map<std::string, std::size_t, std::less<>> entities;
    t.Names = {h.Names[std::size_t(timeField)]};
    std::vector<std::string_view> fields;
    bool zone = false, firstZone = false;
    for (std::size_t i = h.HeaderLine + 1; i <= h.Last; ++i) {
        if (c.Gone[i] || Trim(c.Lines[i]).empty())
            continue;
        if (readings.size() == MaxTableRows)
            RefuseTable(t.File, i + 1, "more than 10 million rows");
        SplitFields(c.Lines[i], h.Separator, fields);
        auto cell = [&](int f) { return std::size_t(f) < fields.size() ? Unquoted(fields[std::size_t(f)]) : ""; };
        const std::string_view entity = cell(entityField);
        const double seconds = ReadingTime(cell(timeField), t, i + 1, zone);
        if (readings.empty())
            firstZone = zone;
        else if (zone != firstZone)
            RefuseTable(t.File, i + 1, "the time '" + ShownText(cell(timeField)) + "' has " +
                                           (zone ? "a time zone, the first has none" : "no time zone, the first has one"));
        if (kind == ENarrow::HomeAssistant && !zone)
            RefuseTable(t.File, i + 1, "the time '" + ShownText(cell(timeField)) + "' is not a date-time with a time zone");
        if (entity.empty())
            RefuseTable(t.File, i + 1, "the reading names no series");
        auto [it, added] = entities.try_emplace(std::string(entity), entities.size());
        if (added)
            t.Names.emplace_back(entity);
        readings.push_back({seconds, it->second, i + 1, std::string(cell(stateField))});
    }
    Widen(readings, entities.size(), t);
    const std::string what = kind == ENarrow::HomeAssistant ? "a history of " + std::to_string(entities.size()) +
                                                                  " entities, one column each; its states carry no unit "
                                                                  "and are read as \u00b0C"
                                                            : "a Grafana export of " + std::to_string(entities.size()) +
                                                                  " series as rows, one column each, read as \u00b0C";
    t.UtcBased = firstZone;
    t.ClockOffsetMinutes = firstZone ? LocalUtcOffsetMinutes(t.Times.front()) : 0;
    t.Notes.push_back(what + (firstZone ? "; times shown on this computer's clock (" +
                                              OffsetText(t.ClockOffsetMinutes) + ")"
                                        : std::string("; times taken as this computer's local time")));
    return t;
}

// InfluxDB's annotated CSV: tables one after the other, each with its
// header; one reading per row, the series named by its tags.
TTimeTable ReadInflux(const TCleanLines& c, const TTableOptions& o, TTimeTable t)
{
    static constexpr std::string_view Fixed[] = {"", "result", "table", "_start", "_stop", "_time", "_value",
                                                 "_field", "_measurement"};
    std::vector<std::string> names;
    std::vector<std::string_view> fields;
    std::map<std::string, std::string> firstValues;  // "tag=value" of each series, its first value
    std::vector<TReading> readings;
    const std::size_t eq = o.AirColumn.find('=');
    const std::string tag = eq == std::string::npos ? "" : o.AirColumn.substr(0, eq);
    const std::string wanted = eq == std::string::npos ? "" : o.AirColumn.substr(eq + 1);
    bool fahrenheit = false;
    for (std::size_t i = 0; i < c.Lines.size(); ++i) {
        if (c.Gone[i] || Trim(c.Lines[i]).empty())
            continue;
        SplitFields(c.Lines[i], ',', fields);
        if (std::any_of(fields.begin(), fields.end(), [](std::string_view f) { return Unquoted(f) == "_value"; })) {
            names.assign(fields.begin(), fields.end());
            continue;
        }
        auto cell = [&](std::string_view name) -> std::string_view {
            const int f = Field(names, {name});
            return f >= 0 && std::size_t(f) < fields.size() ? Unquoted(fields[std::size_t(f)]) : std::string_view();
        };
        std::string series;
        for (std::size_t k = 0; k < names.size() && k < fields.size(); ++k)
            if (std::find(std::begin(Fixed), std::end(Fixed), Trim(names[k])) == std::end(Fixed))
                series += (series.empty() ? "" : ",") + std::string(Trim(names[k])) + "=" + std::string(Unquoted(fields[k]));
        firstValues.try_emplace(series, std::string(cell("_value")));
        if (tag.empty() || cell(tag) != wanted)
            continue;
        bool zone = false;
        readings.push_back({ReadingTime(cell("_time"), t, i + 1, zone), 0, i + 1, std::string(cell("_value"))});
        fahrenheit = fahrenheit || FahrenheitUnit(cell("_measurement"));
    }
    if (readings.empty()) {
        std::string list;
        for (const auto& [series, value] : firstValues) list += (list.empty() ? "" : "; ") + series + " (" + value + ")";
        RefuseTable(t.File, 0,
                    (tag.empty() ? std::string("an InfluxDB export of ") + std::to_string(firstValues.size()) +
                                       " series: choose the outdoor air's with --air-column TAG=VALUE"
                                 : "no series has " + o.AirColumn + "; choose with --air-column TAG=VALUE") +
                        " (the series are " + list + ")");
    }
    t.Names = {"_time", o.AirColumn};
    Widen(readings, 1, t);
    if (fahrenheit)
        for (double& v : t.Columns[0]) v = CelsiusFromFahrenheit(v);
    t.Fahrenheit[0] = fahrenheit;
    t.UtcBased = true;
    t.ClockOffsetMinutes = LocalUtcOffsetMinutes(t.Times.front());
    t.Notes.push_back("an InfluxDB export: the series " + o.AirColumn + (fahrenheit ? ", converted from \u00b0F" : "") +
                      "; times on the UTC scale, shown on this computer's clock (" + OffsetText(t.ClockOffsetMinutes) +
                      ")");
    return t;
}

}  // namespace

bool NarrowLayout(const TTableHead& h)
{
    return Kind(h) != ENarrow::None;
}

TTimeTable ReadNarrowTable(const TCleanLines& c, const TTableHead& h, const TTableOptions& o, TTimeTable t)
{
    const ENarrow kind = Kind(h);
    if (kind == ENarrow::Influx)
        return ReadInflux(c, o, std::move(t));
    return ReadRows(c, h, kind, std::move(t));
}

}  // namespace brennic
