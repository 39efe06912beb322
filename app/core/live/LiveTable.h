// The readings a live night has received so far, from every source, on the
// UTC clock: air, surface, back, dew point and sky, each when it came.
#pragma once

#include "app/core/tables/TimeSeries.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace brennic {

enum TLiveRole : int { lrAir, lrSurface, lrBack, lrDew, lrSky, LiveRoleCount };
// "air", "surface", "back", "dew", "sky": the roles as the options name them.
const char* LiveRoleKey(TLiveRole role);
// The column a night log and a measured log give the role:
// T_Ambient, T_Surface, T_Back, T_Dew, T_Sky.
const char* LiveRoleColumn(TLiveRole role);

// One row: what arrived at one moment; NaN where a role gave nothing.
struct TLiveRow {
    double Time = 0;  // s since 1970, UTC
    std::array<double, LiveRoleCount> Values;
    double Wind;      // m/s, from a weather station; NaN when none came
    TLiveRow();
};

class TLiveTable {
public:
    // Rows arrive in time order; one at the same second as the last merges
    // into it. A row earlier than the last is refused (false).
    bool Add(const TLiveRow& row);
    void Clear()
    {
        rows_.clear();
        wind_.clear();
    }
    const std::vector<TLiveRow>& Rows() const { return rows_; }
    bool Empty() const { return rows_.empty(); }
    bool Has(TLiveRole role) const;
    // The last value of a role and when it came.
    std::optional<TLiveRow> LastWith(TLiveRole role) const;
    // The wind (m/s) a weather station reported, kept beside the rows.
    void AddWind(double time, double metresPerSecond);
    // The mean wind from `from` on (s, UTC); empty when none came since.
    std::optional<double> MeanWindSince(double from) const;
    // The rows as a table on the UTC clock with the night log's columns
    // (the roles that have a value), for the measured log's reader.
    TTimeTable Table(const std::string& name) const;

private:
    std::vector<TLiveRow> rows_;
    std::vector<std::pair<double, double>> wind_;  // time, m/s
};

// An empty table of clock times on the UTC clock, the columns named, with
// every per-column list in place, for rows made in memory.
TTimeTable MemoryTable(const std::string& name, std::vector<std::string> names);

}  // namespace brennic
