#include "app/core/live/LiveTable.h"

#include <cmath>
#include <limits>

namespace brennic {

namespace {

constexpr std::array<const char*, LiveRoleCount> Keys{"air", "surface", "back", "dew", "sky"};
constexpr std::array<const char*, LiveRoleCount> Columns{"T_Ambient", "T_Surface", "T_Back", "T_Dew", "T_Sky"};

}  // namespace

const char* LiveRoleKey(TLiveRole role)
{
    return Keys[std::size_t(role)];
}

const char* LiveRoleColumn(TLiveRole role)
{
    return Columns[std::size_t(role)];
}

TLiveRow::TLiveRow() : Wind(std::numeric_limits<double>::quiet_NaN())
{
    Values.fill(std::numeric_limits<double>::quiet_NaN());
}

void TLiveTable::AddWind(double time, double metresPerSecond)
{
    if (std::isfinite(time) && std::isfinite(metresPerSecond) && metresPerSecond >= 0)
        wind_.emplace_back(time, metresPerSecond);
}

std::optional<double> TLiveTable::MeanWindSince(double from) const
{
    double sum = 0;
    int n = 0;
    for (auto it = wind_.rbegin(); it != wind_.rend() && it->first >= from; ++it) {
        sum += it->second;
        ++n;
    }
    return n > 0 ? std::optional<double>(sum / n) : std::nullopt;
}

bool TLiveTable::Add(const TLiveRow& row)
{
    if (!std::isfinite(row.Time))
        return false;
    if (!rows_.empty()) {
        TLiveRow& last = rows_.back();
        if (row.Time < last.Time)
            return false;
        if (std::floor(row.Time) == std::floor(last.Time)) {
            for (int r = 0; r < LiveRoleCount; ++r)
                if (!std::isnan(row.Values[std::size_t(r)]))
                    last.Values[std::size_t(r)] = row.Values[std::size_t(r)];
            return true;
        }
    }
    rows_.push_back(row);
    return true;
}

bool TLiveTable::Has(TLiveRole role) const
{
    return LastWith(role).has_value();
}

std::optional<TLiveRow> TLiveTable::LastWith(TLiveRole role) const
{
    for (auto it = rows_.rbegin(); it != rows_.rend(); ++it)
        if (!std::isnan(it->Values[std::size_t(role)]))
            return *it;
    return std::nullopt;
}

TTimeTable MemoryTable(const std::string& name, std::vector<std::string> names)
{
    TTimeTable t;
    t.File = name;
    t.Names = std::move(names);
    t.ClockTimes = true;
    t.UtcBased = true;
    t.TimesReadAs = "date-times";
    const std::size_t columns = t.Names.size() - 1;
    t.Columns.assign(columns, {});
    t.Faults.assign(columns, {});
    t.Fahrenheit.assign(columns, 0);
    t.Tenths.assign(columns, 0);
    t.Units.assign(columns, "");
    return t;
}

TTimeTable TLiveTable::Table(const std::string& name) const
{
    std::vector<int> roles;
    std::vector<std::string> names{"Time"};
    for (int r = 0; r < LiveRoleCount; ++r)
        if (Has(TLiveRole(r))) {
            roles.push_back(r);
            names.push_back(Columns[std::size_t(r)]);
        }
    TTimeTable t = MemoryTable(name, std::move(names));
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        t.Times.push_back(rows_[i].Time);
        t.Lines.push_back(i + 1);
        for (std::size_t c = 0; c < roles.size(); ++c) t.Columns[c].push_back(rows_[i].Values[std::size_t(roles[c])]);
    }
    return t;
}

}  // namespace brennic
