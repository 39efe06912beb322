#include "app/core/tables/NarrowTable.h"

#include "app/core/tables/TextCells.h"
#include "support/LibStandard.h"
#include "support/LocalClock.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace brennic {

namespace {

int Field(const TTableHead& h, std::initializer_list<std::string_view> names)
{
    for (std::size_t i = 0; i < h.Names.size(); ++i)
        for (std::string_view n : names)
            if (EqualsIgnoreCase(Trim(h.Names[i]), n))
                return int(i);
    return -1;
}

struct TReading {
    double Time;
    std::size_t Entity, Line;
    std::string_view State;
};

}  // namespace

bool NarrowLayout(const TTableHead& h)
{
    return h.HasHeader && Field(h, {"entity_id"}) >= 0 && Field(h, {"state"}) >= 0 &&
           Field(h, {"last_changed", "last_updated"}) >= 0;
}

TTimeTable ReadNarrowTable(const TCleanLines& c, const TTableHead& h, TTimeTable t)
{
    const std::size_t entityField = std::size_t(Field(h, {"entity_id"})), stateField = std::size_t(Field(h, {"state"}));
    const std::size_t timeField = std::size_t(Field(h, {"last_changed", "last_updated"}));
    std::vector<TReading> readings;
    std::map<std::string, std::size_t, std::less<>> entities;
    t.Names = {h.Names[timeField]};
    std::vector<std::string_view> fields;
    for (std::size_t i = h.HeaderLine + 1; i <= h.Last; ++i) {
        if (c.Gone[i] || Trim(c.Lines[i]).empty())
            continue;
        if (readings.size() == MaxTableRows)
            RefuseTable(t.File, i + 1, "more than 10 million rows");
        SplitFields(c.Lines[i], h.Separator, fields);
        const std::string_view entity = fields.size() > entityField ? Unquoted(fields[entityField]) : "";
        const std::string_view when = fields.size() > timeField ? Unquoted(fields[timeField]) : "";
        double seconds;
        int offset;
        bool zone = false;
        if (!ParseDateTime(when, seconds, offset, &zone) || !zone)
            RefuseTable(t.File, i + 1, "the time '" + ShownText(when) + "' is not a date-time with a time zone");
        if (entity.empty())
            RefuseTable(t.File, i + 1, "the reading has no entity_id");
        auto [it, added] = entities.try_emplace(std::string(entity), entities.size());
        if (added)
            t.Names.emplace_back(entity);
        readings.push_back({seconds, it->second, i + 1, fields.size() > stateField ? Unquoted(fields[stateField]) : ""});
    }
    if (readings.empty())
        RefuseTable(t.File, 0, "no readings");
    std::stable_sort(readings.begin(), readings.end(), [](const auto& a, const auto& b) { return a.Time < b.Time; });
    const std::size_t n = entities.size();
    t.Columns.assign(n, {});
    t.Faults.assign(n, {});
    t.Fahrenheit.assign(n, 0);
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
            t.Faults[r.Entity] = {r.Line, std::string(r.State)};
    }
    t.ClockTimes = t.UtcBased = true;
    t.ClockOffsetMinutes = LocalUtcOffsetMinutes(t.Times.front());
    t.Notes.push_back("a history of " + std::to_string(n) + " entities, one column each; its states carry no unit "
                      "and are read as \u00b0C; times shown on this computer's clock (" +
                      OffsetText(t.ClockOffsetMinutes) + ")");
    return t;
}

}  // namespace brennic
