// Where the table is in a text file and how its rows are laid out: the
// section that holds it among others, the metadata above it, one or two
// header lines or none, the separator, and the column or columns of time.
#pragma once

#include "app/core/tables/TimeSeries.h"

#include <string>
#include <string_view>
#include <vector>

namespace brennic {

// The lines of a file as the reader sees them: HTML comments and <br>
// removed (some services serve their CSV as a web page). A line emptied by
// that is Gone: neither data nor a blank that ends a section.
struct TCleanLines {
    std::vector<std::string_view> Lines;
    std::vector<char> Gone;
    std::vector<std::string> Storage;
};
TCleanLines CleanLines(std::string_view text, const std::string& file);
// A line's field separator: a tab, else a semicolon, else a comma.
char SeparatorOf(std::string_view line);

// How the rows' times are written: dates and times, Unix times, plain
// numbers (minutes, or this program's seconds), or clock times without a
// date (a serial monitor's).
enum class ETimeKind { DateTime, Unix, Number, Clock };

// Which fields hold the time: one; a date and a clock ("Date,Time"); a date
// and a whole hour, 0-23 or 1-24 where 24 is the next midnight ("YYYYMMDD,
// HH"); or the year, month, day and hour apart ("YEAR,MO,DY,HR").
enum class ETimeJoin { Single, DateClock, DateHour, YearMonthDayHour };

struct TTableHead {
    std::size_t First = 0, Last = 0;  // the section's lines (indices, inclusive)
    std::size_t HeaderLine = 0;       // index of the header's (last) line, or of the first row without one
    bool HasHeader = true;
    bool Stacked = false;             // two header lines whose words stand one above the other
    char Separator = ',';
    bool CommaDecimal = false;
    std::vector<std::string> Names;  // every field's name, as in the file
    ETimeJoin Join = ETimeJoin::Single;
    std::vector<int> TimeFields{0};  // in the order joined
    ETimeKind Kind = ETimeKind::Number;
    std::vector<std::string> MetaUnits;  // a units line ("unit,°C,..." above, or "Deg C" below the names) per field
    bool IsTimeField(int field) const;
    // "Date+Time", "YEAR+MO+DY+HR": the time's name as --time-column takes it.
    std::string TimeName() const;
};

// The row's time as one text: the cell, or the fields joined in buffer
// ("20261208T17:00" of a date and an hour).
std::string_view RowTimeText(const TTableHead& head, const std::vector<std::string_view>& fields, std::string& buffer);

// The sections of the file (blank lines between a table and what follows;
// a blank line followed by more rows does not end one), each with its head
// where it has rows; the head of the section to read: the one holding the
// wanted or an air column with the most rows. Throws ETableError.
TTableHead FindTableHead(const TCleanLines& lines, const std::string& file, const TTableOptions& options,
                         std::vector<std::string>& notes);

// A value from a metadata section ("utc_offset_seconds" under a header,
// its value on the next line), or false.
bool MetadataValue(const TCleanLines& lines, std::string_view name, double& value);

}  // namespace brennic
