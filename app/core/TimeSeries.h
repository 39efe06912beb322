// Time-stamped tables read from text files (a logger's CSV, a weather
// service's export, this program's own results) and the series of one
// column, interpolated at any time.
#pragma once

#include "model/FiniteDiff_1D.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brennic {

// A file that cannot be used: the message names the file and, where there
// is one, the line.
class ETableError : public EBrennicError {
public:
    using EBrennicError::EBrennicError;
};

struct TTimeTable {
    std::string File;                          // as given, for messages
    std::vector<std::string> Names;            // header names, quotes removed; column 0 is the time
    bool ClockTimes = false;                   // date-times (else seconds from the table's zero)
    int ClockOffsetMinutes = 0;                // the first row's UTC offset, for showing clock times
    std::vector<double> Times;                 // s: since 1970-01-01 in UTC for date-times
    std::vector<std::vector<double>> Columns;  // per column after the time; NaN where a cell is empty
    std::vector<std::size_t> Lines;            // the file's line of each row
};

inline constexpr std::size_t MaxTableRows = 10'000'000;

// Reads the table; throws ETableError.
TTimeTable ReadTimeTable(const std::string& path);
TTimeTable ParseTimeTable(std::string_view text, const std::string& fileName);

// A column's name without quotes, spaces and a unit suffix such as "(°C)".
std::string BareName(std::string_view name);
// The index in Names of the column with that name (bare names, ASCII case
// ignored), or -1.
int FindColumn(const TTimeTable& table, std::string_view name);
// The air column by default: the first whose name contains "temp" (and
// neither "dew" nor "sky") or is T_Ambient, else the second column.
int DefaultAirColumn(const TTimeTable& table);
// The first column whose name contains the word (ASCII case ignored), or -1.
int ColumnContaining(const TTimeTable& table, std::string_view word);

// Seconds since 1970 (UTC) of an ISO-8601 date-time "2026-12-08T18:00",
// "2026-12-08 18:00:00", with optional seconds, fraction, "Z" or "+hh:mm";
// false when the text is not one. offsetMinutes receives the offset given.
bool ParseDateTime(std::string_view text, double& seconds, int& offsetMinutes);
// "HH:MM" of a time, in the table's own clock.
std::string ClockText(const TTimeTable& table, double seconds);

// Where a run's time 0 falls in the table: the first row, an ISO date-time,
// or "HH:MM" as the first such clock time at or after the first row.
// Throws ETableError naming the text.
double RunStart(const TTimeTable& table, const std::string& when);

// Refuses, naming the file, the line and the column, a temperature outside
// what the model takes (-273 to 1000 degC).
void CheckTemperatureColumn(const TTimeTable& table, int column);

// One column as samples against the run's time, interpolated linearly and
// held at its first and last values outside them.
class TSeries {
public:
    TSeries() = default;
    // Rows with an empty cell are left out; throws ETableError when none is left.
    TSeries(const TTimeTable& table, int column, double start);

    double At(double t) const;
    // The lowest and highest value the series takes between two run times.
    void Range(double from, double to, double& lowest, double& highest) const;
    double Lowest() const { return lowest_; }
    double Highest() const { return highest_; }
    double FirstTime() const { return times_.front(); }
    double LastTime() const { return times_.back(); }
    std::size_t Size() const { return times_.size(); }
    const std::string& Name() const { return name_; }

private:
    std::vector<double> times_, values_;
    double lowest_ = 0, highest_ = 0;
    std::string name_;
};

}  // namespace brennic
