// The air of a run taken from a file of measured or forecast values, with
// the sky's temperature and the dew point when the file has them.
#pragma once

#include "app/core/tables/TimeSeries.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace brennic {

// What the user chose: the file and, where wanted, the columns and the start.
struct TAirFileChoice {
    std::string Path;
    std::string AirColumn;  // empty: the first "temp" column, else the second
    std::string Start;      // empty: the first row; ISO date-time or HH:MM
    std::string SkyColumn;  // empty: a column named "...sky..." if there is one
    std::string DewColumn;  // empty: a column named "...dew..." if there is one, else from the humidity
    std::string TimeColumn;  // empty: the column of date-times, else the first; "Date+Time" joins two
    std::string DateOrder;   // "dmy", "mdy", "ymd"; empty: decided from the dates
    std::string TimeZone;    // of times the file leaves unmarked: "UTC", "local", "+01:00"; empty: decided
};

// A row of the file as read, for a preview: the local time and the values
// in °C (NaN where the row has none).
struct TAirPreviewRow {
    std::string LocalTime;
    double Air, Dew, Sky;
};

// The lowest and highest air (and dew point) of a run and the coldest sky,
// for the axes and the checks of run planning.
struct TAirExtremes {
    double Lowest, Highest;
    double ColdestSky;
};

class TAirSource {
public:
    // Reads the file and resolves the choice; throws ETableError naming the
    // file, the line and the column where one is at fault.
    static std::shared_ptr<const TAirSource> Load(const TAirFileChoice& choice);
    // The same for a table already read with the choice's options.
    static std::shared_ptr<const TAirSource> FromTable(TTimeTable table, const TAirFileChoice& choice);

    TTimeTable Table;
    TSeries Air;
    std::optional<TSeries> Sky, Dew;
    double Start = 0;  // the run's time 0 on the table's clock (s)
    // How the file was read, for the user: layout, units, dates, gaps.
    std::vector<std::string> Notes;
    // The table's columns in use (-1: none); a dew point made from the humidity.
    int AirIndex = 1, SkyIndex = -1, DewIndex = -1;
    std::vector<double> DerivedDew;
    // Up to `limit` rows from the start on.
    std::vector<TAirPreviewRow> Preview(std::size_t limit) const;

    // The solver takes its air and sky from here; its initial and final air
    // temperatures become the air at 0 and at the end of the period.
    static void Apply(const std::shared_ptr<const TAirSource>& source, TBrennicOneD& solver);
    TAirExtremes Extremes(double duration) const;
    // Run time (s) of the last air sample: after it the air holds its value.
    double EndsAt() const { return Air.LastTime(); }
    // "night.csv, column temperature_2m, from 18:00"
    std::string Describe() const;
    // Minutes of a run time, with the clock time where the file has one:
    // "84.8 min (19:25)".
    std::string When(double seconds, char16_t decimalSeparator) const;

private:
    void NoteColumn(int column, const char* role);
    void DewFromHumidity(int air);
    TAirExtremes ScanExtremes(double duration) const;

    // A sweep asks for the same period's extremes once per case, from
    // several threads: each period is scanned once.
    struct TExtremesCache {
        std::mutex Mutex;
        std::map<double, TAirExtremes> ByDuration;
    };
    std::unique_ptr<TExtremesCache> extremes_ = std::make_unique<TExtremesCache>();
};

// The reader's options for the file of a choice; throws ETableError for a
// date order that is none.
TTableOptions AirTableOptions(const TAirFileChoice& choice);

}  // namespace brennic
