// Time-stamped tables read from text files (a logger's CSV, a weather
// service's export, this program's own results) and the series of one
// column, interpolated at any time.
#pragma once

#include "app/core/tables/DateTimeText.h"
#include "model/FiniteDiff_1D.h"

#include <cstddef>
#include <optional>
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

// The first cell of a column that is not a number: refused only when the
// column is used.
struct TCellFault {
    std::size_t Line = 0;  // 0: every cell is a number or a gap
    std::string Text;
};

// Throws ETableError "file, line N: what" (without the line when it is 0).
[[noreturn]] void RefuseTable(const std::string& file, std::size_t line, const std::string& what);

struct TTimeTable {
    std::string File;                          // as given, for messages
    std::vector<std::string> Names;            // header names, quotes removed; Names[0] is the time's
    bool ClockTimes = false;                   // date-times (else seconds from the table's zero)
    bool UtcBased = false;                     // times given with a zone, or Unix times
    int ClockOffsetMinutes = 0;                // added to a time to show it on the local clock
    std::optional<int> PlaceOffsetMinutes;     // the place's UTC offset where the file's metadata gives it
    std::optional<double> ElevationMetres;     // the place's height above sea level, likewise
    std::optional<double> Longitude;           // degrees east, likewise
    std::string Source;                        // a weather service or logger known by its columns, or ""
    std::string TimesReadAs;                   // "date-times", "Unix times", "minutes", ...
    std::string ContentHash;                   // of the file as read (ReadTimeTable), to tell a changed file
    std::vector<double> Times;                 // s: since 1970-01-01 (on the file's own clock unless UtcBased)
    std::vector<std::vector<double>> Columns;  // per column after the time, in °C for temperatures; NaN: no value
    std::vector<TCellFault> Faults;            // per column after the time
    std::vector<char> Fahrenheit;              // per column after the time: converted from °F
    std::vector<char> Tenths;                  // per column after the time: written in tenths of a degree
    std::vector<std::string> Units;            // per column after the time: its units row's entry, or ""
    std::vector<std::size_t> Lines;            // the file's line of each row
    std::vector<std::string> Notes;            // how the file was read, where it was not plain
};

// How to read a table where the file alone does not say.
struct TTableOptions {
    std::string TimeColumn;                   // a name, or "Date+Time" to join two; empty: found from the data
    EDateOrder DateOrder = EDateOrder::Auto;  // of dates like 11/12/25
    EDateOrder LocaleOrder = EDateOrder::Auto;  // when the data allows both; Auto: the user's locale
    std::string AirColumn;                    // of a file with several tables, the one holding it is read
    std::string TimeZone;                     // unmarked times: "UTC", "local", "+01:00"; empty: decided
    std::optional<long long> FirstDay;        // days since 1970 of the first row, for clock times alone
};

inline constexpr std::size_t MaxTableRows = 10'000'000;

// Reads the table; throws ETableError.
TTimeTable ReadTimeTable(const std::string& path, const TTableOptions& options = {});
TTimeTable ParseTimeTable(std::string_view text, const std::string& fileName, const TTableOptions& options = {});

// A column's name without quotes, spaces and a unit suffix such as "(°C)".
std::string BareName(std::string_view name);
// The index in Names of the column with that name (bare names, ASCII case
// ignored), or -1.
int FindColumn(const TTimeTable& table, std::string_view name);
// The first column whose name contains the word (ASCII case ignored), or -1.
int ColumnContaining(const TTimeTable& table, std::string_view word);

// "UTC+01:00".
std::string OffsetText(int minutes);
// "HH:MM" of a time, on the local clock.
std::string ClockText(const TTimeTable& table, double seconds);
// "2026-12-08 18:00" of a time, on the local clock.
std::string LocalDateTimeText(const TTimeTable& table, double seconds);

// Where a run's time 0 falls in the table: the first row, an ISO date-time,
// or "HH:MM" as the first such clock time at or after the first row.
// Throws ETableError naming the text.
double RunStart(const TTimeTable& table, const std::string& when);

// Refuses, naming the file, the line and the column, a cell that is not a
// number, and a temperature outside what the model takes (-273 to 1000 degC).
void CheckNumberColumn(const TTimeTable& table, int column);
void CheckTemperatureColumn(const TTimeTable& table, int column);

// One column as samples against the run's time, interpolated linearly and
// held at its first and last values outside them.
class TSeries {
public:
    TSeries() = default;
    // Rows with an empty cell are left out; throws ETableError when none is left.
    TSeries(const TTimeTable& table, int column, double start);
    // Samples of a column made from others (a dew point from the humidity).
    TSeries(const TTimeTable& table, const std::vector<double>& values, std::string name, double start);

    double At(double t) const;
    // The lowest and highest value the series takes between two run times.
    void Range(double from, double to, double& lowest, double& highest) const;
    double Lowest() const { return lowest_; }
    double Highest() const { return highest_; }
    double FirstTime() const { return times_.front(); }
    double LastTime() const { return times_.back(); }
    std::size_t Size() const { return times_.size(); }
    const std::string& Name() const { return name_; }
    // The longest stretch between two samples that reaches into [from, to]
    // (run times, s), and the median stretch of the whole series.
    struct TGap {
        double From = 0, To = 0;
    };
    TGap LongestGap(double from, double to) const;
    double MedianStep() const;

private:
    std::vector<double> times_, values_;
    double lowest_ = 0, highest_ = 0;
    std::string name_;
};

}  // namespace brennic
