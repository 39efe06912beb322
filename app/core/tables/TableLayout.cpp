#include "app/core/tables/TableLayout.h"

#include "app/core/tables/ColumnRoles.h"
#include "app/core/tables/TextCells.h"
#include "support/BoundedRead.h"
#include "support/LibStandard.h"

#include <algorithm>
#include <cmath>

namespace brennic {

namespace {

const char* const Expected =
    "expected a header line, then rows of a time (a date-time, or minutes) followed by numbers, separated "
    "by commas, semicolons or tabs";

// How far into a section its first row may lie (metadata, headers).
constexpr std::size_t MaxHeadLines = 64;

bool DateTimeText(std::string_view cell)
{
    TDateTimeCell parsed;
    return ParseDateTimeCell(Unquoted(cell), parsed);
}

// A row rather than a header or metadata: it holds a date-time, or it
// begins with a number.
bool DataLine(std::string_view line)
{
    std::vector<std::string_view> fields;
    const char separator = SeparatorOf(line);
    SplitFields(line, separator, fields);
    for (std::string_view f : fields)
        if (DateTimeText(f))
            return true;
    double v;
    if (ParseClock(Unquoted(fields[0]), v))
        return true;  // a clock alone, a serial monitor's
    return Number(Unquoted(fields[0]), separator != ',', v);
}

bool Blank(const TCleanLines& c, std::size_t i)
{
    return !c.Gone[i] && Trim(c.Lines[i]).empty();
}

struct TSection {
    std::size_t First, Last;
};

std::vector<TSection> Sections(const TCleanLines& c)
{
    std::vector<TSection> sections;
    const std::size_t n = c.Lines.size();
    std::size_t i = 0;
    while (i < n) {
        while (i < n && (Blank(c, i) || c.Gone[i])) ++i;
        if (i == n)
            break;
        TSection s{i, i};
        for (; i < n; ++i) {
            if (c.Gone[i])
                continue;
            if (!Blank(c, i)) {
                s.Last = i;
                continue;
            }
            std::size_t next = i;
            while (next < n && (Blank(c, next) || c.Gone[next])) ++next;
            if (next == n || !DataLine(c.Lines[next]) || !DataLine(c.Lines[s.Last]))
                break;
            i = next - 1;
        }
        sections.push_back(s);
    }
    return sections;
}

std::size_t PreviousLine(const TCleanLines& c, std::size_t i, std::size_t first)
{
    while (i > first) {
        --i;
        if (!c.Gone[i] && !Blank(c, i))
            return i;
    }
    return std::string::npos;
}

int FieldNamed(const std::vector<std::string>& names, std::string_view wanted)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (EqualsIgnoreCase(BareName(names[i]), BareName(wanted)))
            return int(i);
    return -1;
}

void ReadNames(const TCleanLines& c, TTableHead& h, std::size_t header, const std::vector<std::string_view>& row)
{
    std::vector<std::string_view> fields, upper;
    if (!h.HasHeader) {
        for (std::size_t i = 0; i < row.size(); ++i) h.Names.push_back("Column " + std::to_string(i + 1));
        return;
    }
    SplitFields(c.Lines[header], h.Separator, fields);
    // A header written as a comment ("# STN,YYYYMMDD,   HH", KNMI's).
    if (!fields.empty() && Trim(fields[0]).rfind('#', 0) == 0)
        fields[0] = Trim(Trim(fields[0]).substr(1));
    const std::size_t above = PreviousLine(c, header, h.First);
    if (above != std::string::npos) {
        SplitFields(c.Lines[above], h.Separator, upper);
        h.Stacked = upper.size() >= 2 && upper.size() <= fields.size() && Trim(upper[0]).empty() &&
                    !Trim(fields[0]).empty() && std::count_if(upper.begin(), upper.end(), [](auto u) {
                        return !Trim(u).empty();
                    }) >= 2;
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string name(Unquoted(fields[i]));
        if (h.Stacked && i < upper.size() && !Unquoted(upper[i]).empty())
            name = std::string(Unquoted(upper[i])) + " " + name;
        h.Names.push_back(name);
    }
    while (h.Names.size() > 2 && h.Names.back().empty()) h.Names.pop_back();
    for (std::size_t i = h.First; i < header; ++i) {
        SplitFields(c.Lines[i], h.Separator, upper);
        if (EqualsIgnoreCase(Unquoted(upper[0]), "unit") || EqualsIgnoreCase(Unquoted(upper[0]), "units"))
            for (std::string_view u : upper) h.MetaUnits.emplace_back(Unquoted(u));
    }
}

// A line of units or of how values were processed, between the names and
// the rows: TOA5's "TS","RN","Deg C" and "","","Avg", Synoptic's
// ",,Celsius,%". Every field is empty or such a word, and one is not empty.
bool UnitsRow(std::string_view line, char separator)
{
    static constexpr std::string_view Words[] = {
        "ts", "rn", "deg c", "degc", "\u00b0c", "c", "celsius", "deg f", "degf", "\u00b0f", "f", "fahrenheit", "%",
        "volts", "v", "mv", "m/s", "km/h", "mph", "knots", "hpa", "mbar", "mb", "kpa", "inhg", "mm", "in", "w/m^2",
        "w/m2", "degrees", "deg", "unitless", "avg", "smp", "min", "max", "tot", "std", "wvc", "wvt", "k"};
    std::vector<std::string_view> fields;
    SplitFields(line, separator, fields);
    bool any = false;
    for (std::string_view f : fields) {
        const std::string_view t = Unquoted(f);
        if (t.empty())
            continue;
        std::string lower;
        for (char ch : t) lower += LowerAscii(ch);
        if (std::find(std::begin(Words), std::end(Words), lower) == std::end(Words))
            return false;
        any = true;
    }
    return any;
}

// A field's unit among the units rows below the names: the first that is
// a temperature's, else the first given.
void ReadUnitsRows(const TCleanLines& c, TTableHead& h, const std::vector<std::size_t>& rows)
{
    std::vector<std::string_view> fields;
    h.MetaUnits.assign(h.Names.size(), "");
    for (std::size_t r : rows) {
        SplitFields(c.Lines[r], h.Separator, fields);
        for (std::size_t i = 0; i < fields.size() && i < h.MetaUnits.size(); ++i) {
            const std::string unit(Unquoted(fields[i]));
            if (h.MetaUnits[i].empty() || CelsiusUnit(unit) || FahrenheitUnit(unit))
                if (!unit.empty() && !(CelsiusUnit(h.MetaUnits[i]) || FahrenheitUnit(h.MetaUnits[i])))
                    h.MetaUnits[i] = unit;
        }
    }
}

// A whole hour, 0 to 24, as the text of a cell.
bool WholeHour(std::string_view cell, int& hour)
{
    const std::string_view t = Unquoted(cell);
    double v;
    if (!Number(t, false, v) || v != std::floor(v) || v < 0 || v > 24 || t.find('.') != std::string_view::npos)
        return false;
    hour = int(v);
    return true;
}

std::string AllNames(const TTableHead& h)
{
    std::string all;
    for (const std::string& n : h.Names) all += (all.empty() ? "" : ", ") + n;
    return all;
}

// The time fields the option names: NAME, DATE+TIME, DATE+HOUR or
// YEAR+MONTH+DAY+HOUR.
void ChosenTimeFields(TTableHead& h, const std::vector<std::string_view>& row, const std::string& option,
                      const std::string& file)
{
    h.TimeFields.clear();
    for (std::size_t a = 0, b;; a = b + 1) {
        b = option.find('+', a);
        const std::string part = option.substr(a, b == std::string::npos ? b : b - a);
        const int f = FieldNamed(h.Names, part);
        if (f < 0)
            RefuseTable(file, 0, "there is no time column \"" + ShownText(part) + "\" (the columns are " + AllNames(h) +
                                     "; --time-column chooses)");
        h.TimeFields.push_back(f);
        if (b == std::string::npos)
            break;
    }
    int hour;
    switch (h.TimeFields.size()) {
    case 1: h.Join = ETimeJoin::Single; break;
    case 2:
        h.Join = std::size_t(h.TimeFields[1]) < row.size() && WholeHour(row[std::size_t(h.TimeFields[1])], hour)
                     ? ETimeJoin::DateHour
                     : ETimeJoin::DateClock;
        break;
    case 4: h.Join = ETimeJoin::YearMonthDayHour; break;
    default:
        RefuseTable(file, 0, "--time-column '" + ShownText(option) +
                                 "' names " + std::to_string(h.TimeFields.size()) +
                                 " columns: give NAME, DATE+TIME, DATE+HOUR or YEAR+MONTH+DAY+HOUR");
    }
}

int NamedAmong(const TTableHead& h, std::initializer_list<std::string_view> names)
{
    for (std::string_view n : names)
        if (const int f = FieldNamed(h.Names, n); f >= 0)
            return f;
    return -1;
}

void FindTimeFields(TTableHead& h, const std::vector<std::string_view>& row, const TTableOptions& o,
                    const std::string& file)
{
    if (!o.TimeColumn.empty())
        return ChosenTimeFields(h, row, o.TimeColumn, file);
    h.Join = ETimeJoin::Single;
    const std::size_t fields = std::min(row.size(), h.Names.size());  // only columns the header names
    auto cell = [&](int f) { return f >= 0 && std::size_t(f) < fields ? Unquoted(row[std::size_t(f)]) : std::string_view(); };
    // The year, month, day and hour apart (NASA POWER's YEAR,MO,DY,HR).
    const int year = NamedAmong(h, {"YEAR", "YYYY"}), month = NamedAmong(h, {"MO", "MONTH", "MM"}),
              day = NamedAmong(h, {"DY", "DAY", "DD"}), hourField = NamedAmong(h, {"HR", "HOUR", "HH"});
    double v;
    int hour;
    if (year >= 0 && month >= 0 && day >= 0 && hourField >= 0 && Number(cell(year), false, v) &&
        WholeHour(cell(hourField), hour)) {
        h.TimeFields = {year, month, day, hourField};
        h.Join = ETimeJoin::YearMonthDayHour;
        return;
    }
    TDateTimeCell date;
    double seconds;
    for (std::size_t i = 0; i + 1 < fields; ++i) {
        if (!ParseDateTimeCell(Unquoted(row[i]), date) || Unquoted(row[i]).find(':') != std::string_view::npos)
            continue;
        // A date and its clock beside it, or a date and a column of whole hours.
        if (ParseClock(Unquoted(row[i + 1]), seconds)) {
            h.TimeFields = {int(i), int(i + 1)};
            h.Join = ETimeJoin::DateClock;
            return;
        }
        if (hourField >= 0 && WholeHour(cell(hourField), hour)) {
            h.TimeFields = {int(i), hourField};
            h.Join = ETimeJoin::DateHour;
            return;
        }
    }
    for (std::size_t i = 0; i < fields; ++i)
        if (DateTimeText(row[i])) {
            h.TimeFields = {int(i)};
            return;
        }
    // Unix times in a column named as a time, wherever it stands (WeeWX's dateTime).
    for (std::size_t i = 0; i < fields; ++i)
        if (UnixTime(row[i], seconds) && (Contains(h.Names[i], "time") || Contains(h.Names[i], "date") ||
                                          Contains(h.Names[i], "epoch") || Contains(h.Names[i], "stamp"))) {
            h.TimeFields = {int(i)};
            return;
        }
    h.TimeFields = {0};
}

}  // namespace

bool TTableHead::IsTimeField(int field) const
{
    return std::find(TimeFields.begin(), TimeFields.end(), field) != TimeFields.end();
}

std::string TTableHead::TimeName() const
{
    std::string name;
    for (int f : TimeFields) name += (name.empty() ? "" : "+") + Names[std::size_t(f)];
    return name;
}

std::string_view RowTimeText(const TTableHead& h, const std::vector<std::string_view>& fields, std::string& buffer)
{
    auto cell = [&](std::size_t k) {
        const std::size_t f = std::size_t(h.TimeFields[k]);
        return f < fields.size() ? Unquoted(fields[f]) : std::string_view();
    };
    switch (h.Join) {
    case ETimeJoin::Single: return cell(0);
    case ETimeJoin::DateClock:
        buffer.assign(cell(0));
        buffer += ' ';
        buffer += cell(1);
        return buffer;
    case ETimeJoin::DateHour:
        buffer.assign(cell(0));
        buffer += buffer.find_first_not_of("0123456789") == std::string::npos ? 'T' : ' ';
        buffer += cell(1);
        buffer += ":00";
        return buffer;
    case ETimeJoin::YearMonthDayHour:
        buffer.assign(cell(0));
        for (std::size_t k : {1, 2}) {
            buffer += '-';
            buffer += cell(k);
        }
        buffer += ' ';
        buffer += cell(3);
        buffer += ":00";
        return buffer;
    }
    return cell(0);
}

namespace {

// The head of a section, or false when it has no row near its top.
bool ReadHead(const TCleanLines& c, const TSection& s, const TTableOptions& o, const std::string& file, TTableHead& h)
{
    std::size_t d = s.First;
    while (d <= s.Last && d < s.First + MaxHeadLines && (c.Gone[d] || Blank(c, d) || !DataLine(c.Lines[d]))) ++d;
    if (d > s.Last || d >= s.First + MaxHeadLines)
        return false;
    h.First = s.First;
    h.Last = s.Last;
    // Units rows between the names and the rows are passed over (and read).
    std::size_t header = PreviousLine(c, d, s.First);
    std::vector<std::size_t> unitsRows;
    const char dataSeparator = SeparatorOf(c.Lines[d]);
    while (header != std::string::npos && UnitsRow(c.Lines[header], dataSeparator) &&
           PreviousLine(c, header, s.First) != std::string::npos) {
        unitsRows.push_back(header);
        header = PreviousLine(c, header, s.First);
    }
    h.HasHeader = header != std::string::npos;
    h.HeaderLine = !h.HasHeader ? d : unitsRows.empty() ? header : unitsRows.front();
    h.Separator = SeparatorOf(c.Lines[h.HasHeader ? header : d]);
    h.CommaDecimal = h.Separator != ',';
    std::vector<std::string_view> row;
    SplitFields(c.Lines[d], h.Separator, row);
    ReadNames(c, h, header, row);
    if (!unitsRows.empty())
        ReadUnitsRows(c, h, unitsRows);
    if (h.Names.size() < 2 && !h.HasHeader)
        return false;  // a lone number is not a table
    if (h.Names.size() < 2)
        RefuseTable(file, header + 1, std::string("the header has a single column: ") + Expected);
    FindTimeFields(h, row, o, file);
    if (h.Names.size() < h.TimeFields.size() + 1)
        return false;  // nothing beside the time
    std::string buffer;
    const std::string_view text = RowTimeText(h, row, buffer);
    double seconds;
    h.Kind = DateTimeText(text)          ? ETimeKind::DateTime
             : UnixTime(text, seconds)   ? ETimeKind::Unix
             : ParseClock(text, seconds) ? ETimeKind::Clock
                                         : ETimeKind::Number;
    return true;
}

}  // namespace

TTableHead FindTableHead(const TCleanLines& c, const std::string& file, const TTableOptions& o,
                         std::vector<std::string>& notes)
{
    const std::vector<TSection> sections = Sections(c);
    if (sections.empty())
        RefuseTable(file, 0, std::string("no table found: ") + Expected);
    std::vector<TTableHead> heads;
    for (const TSection& s : sections) {
        TTableHead h;
        if (ReadHead(c, s, o, file, h))
            heads.push_back(std::move(h));
    }
    if (heads.empty()) {
        const TSection& s = sections.back();
        std::vector<std::string_view> fields;
        SplitFields(c.Lines[s.First], SeparatorOf(c.Lines[s.First]), fields);
        if (fields.size() < 2)
            RefuseTable(file, s.First + 1, std::string("the header has a single column: ") + Expected);
        RefuseTable(file, 0, std::string("no rows of numbers: ") + Expected);
    }
    // The wanted column's section, else one with an air column, else the longest.
    auto score = [&](const TTableHead& h) {
        TTimeTable names;
        names.Names = h.Names;
        std::swap(names.Names[0], names.Names[std::size_t(h.TimeFields[0])]);
        const bool wanted = !o.AirColumn.empty() && FieldNamed(h.Names, o.AirColumn) >= 0;
        return std::make_tuple(wanted, NamedAirColumn(names) > 0, h.Last - h.HeaderLine);
    };
    std::size_t best = 0;
    for (std::size_t i = 1; i < heads.size(); ++i)
        if (score(heads[i]) > score(heads[best]))
            best = i;
    if (heads.size() > 1)
        notes.push_back("the table of lines " + std::to_string(heads[best].HeaderLine + 1) + " to " +
                        std::to_string(heads[best].Last + 1) + " is read; the file's other sections are not used");
    return heads[best];
}

bool MetadataValue(const TCleanLines& c, std::string_view name, double& value)
{
    std::vector<std::string_view> fields, values;
    for (std::size_t i = 0; i + 1 < c.Lines.size() && i < MaxHeadLines; ++i) {
        SplitFields(c.Lines[i], SeparatorOf(c.Lines[i]), fields);
        for (std::size_t k = 0; k < fields.size(); ++k)
            if (Unquoted(fields[k]) == name) {
                SplitFields(c.Lines[i + 1], SeparatorOf(c.Lines[i]), values);
                return k < values.size() && Number(Unquoted(values[k]), false, value);
            }
    }
    return false;
}

}  // namespace brennic
