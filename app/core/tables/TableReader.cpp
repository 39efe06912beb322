// Reading a time table: the rows of the section FindTableHead chose, their
// times on one scale, their values in °C.
#include "app/core/tables/ColumnRoles.h"
#include "app/core/tables/NarrowTable.h"
#include "app/core/tables/TableLayout.h"
#include "app/core/tables/TextCells.h"
#include "app/core/results/OutputColumns.h"
#include "model/FilmCorrelations.h"
#include "support/BoundedRead.h"
#include "support/LibStandard.h"
#include "support/LocalClock.h"

#include <cmath>
#include <limits>

namespace brennic {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
// The longest span of rows a table may have: 10 years of 365.25 days.
constexpr double MaxTableSpan = 10 * 365.25 * 86400;
// Barometer readings below this are inches of mercury, not hectopascals.
constexpr double HighestInchesOfMercury = 40;

std::string Quoted(std::string_view text)
{
    return "'" + ShownText(Trim(text)) + "'";
}

// The rows of the section, as line indices.
template <typename Each>
void ForEachRow(const TCleanLines& c, const TTableHead& h, Each each)
{
    std::vector<std::string_view> fields;
    for (std::size_t i = h.HasHeader ? h.HeaderLine + 1 : h.HeaderLine; i <= h.Last; ++i) {
        if (c.Gone[i] || Trim(c.Lines[i]).empty())
            continue;
        SplitFields(c.Lines[i], h.Separator, fields);
        each(i + 1, fields);
    }
}

// The row's time as written: one cell, or a date and a clock joined in buffer.
std::string_view TimeText(const TTableHead& h, const std::vector<std::string_view>& fields, std::string& buffer)
{
    const std::string_view date = std::size_t(h.TimeField) < fields.size() ? Unquoted(fields[std::size_t(h.TimeField)])
                                                                         : std::string_view();
    if (h.ClockField < 0)
        return date;
    buffer.assign(date);
    buffer += ' ';
    if (std::size_t(h.ClockField) < fields.size())
        buffer += Unquoted(fields[std::size_t(h.ClockField)]);
    return buffer;
}

EDateOrder LocaleOrder(const TTableOptions& o)
{
    if (o.LocaleOrder != EDateOrder::Auto)
        return o.LocaleOrder;
    EDateOrder order = EDateOrder::DayFirst;
    ParseDateOrder(LocaleDateOrder(), order);
    return order == EDateOrder::Auto ? EDateOrder::DayFirst : order;
}

// Day or month first, from a field above 12 anywhere in the file.
EDateOrder DateOrder(const TCleanLines& c, const TTableHead& h, const TTableOptions& o, TTimeTable& t)
{
    if (o.DateOrder != EDateOrder::Auto || h.Kind != ETimeKind::DateTime)
        return o.DateOrder == EDateOrder::Auto ? EDateOrder::YearFirst : o.DateOrder;
    std::size_t dayFirst = 0, monthFirst = 0;
    std::string dayText, monthText, buffer;
    bool ambiguous = false;
    bool first = true, yearFirst = false;
    TDateTimeCell cell;
    ForEachRow(c, h, [&](std::size_t line, const std::vector<std::string_view>& fields) {
        if (yearFirst)
            return;  // year-first dates have no doubt; rows written otherwise are refused when read
        const std::string_view text = TimeText(h, fields, buffer);
        const bool parsed = ParseDateTimeCell(text, cell);
        yearFirst = first && parsed && cell.Kind == TDateTimeCell::YearFirst;
        first = false;
        if (!parsed || cell.Kind == TDateTimeCell::YearFirst)
            return;
        ambiguous = true;
        if (cell.First > 12 && !dayFirst)
            dayFirst = line, dayText = std::string(text);
        if (cell.Second > 12 && !monthFirst)
            monthFirst = line, monthText = std::string(text);
    });
    if (dayFirst && monthFirst)
        RefuseTable(t.File, std::max(dayFirst, monthFirst),
               "the date " + Quoted(dayFirst > monthFirst ? dayText : monthText) + " has the day " +
                   (dayFirst > monthFirst ? "first" : "second") + ", line " + std::to_string(std::min(dayFirst, monthFirst)) +
                   " has it " + (dayFirst > monthFirst ? "second" : "first"));
    if (dayFirst) {
        t.Notes.push_back("dates read day first, as line " + std::to_string(dayFirst) + " (" + dayText + ") requires");
        return EDateOrder::DayFirst;
    }
    if (monthFirst) {
        t.Notes.push_back("dates read month first, as line " + std::to_string(monthFirst) + " (" + monthText +
                          ") requires");
        return EDateOrder::MonthFirst;
    }
    if (!ambiguous)
        return EDateOrder::YearFirst;
    const EDateOrder order = LocaleOrder(o);
    t.Notes.push_back(std::string("every date could be read day first or month first: read ") +
                      (order == EDateOrder::MonthFirst ? "month first" : "day first") +
                      ", the order of this computer's dates (--date-order dmy|mdy chooses)");
    return order;
}

struct TRowTimes {
    const TTableHead& Head;
    EDateOrder Order;
    bool OwnExport;
    bool FirstZone = false;
    TDateTimeCell::EKind FirstKind = TDateTimeCell::YearFirst;
};

double RowTime(const TRowTimes& r, std::string_view text, bool first, const TTimeTable& t, std::size_t line,
               bool& zone, TDateTimeCell::EKind& kind)
{
    double value = 0;
    TDateTimeCell cell;
    const bool dateTime = ParseDateTimeCell(text, cell);
    if (r.Head.Kind == ETimeKind::DateTime) {
        if (!dateTime)
            RefuseTable(t.File, line,
                   "the time " + Quoted(text) +
                       (Number(text, false, value) ? " is not a date-time like the rows before"
                                                   : " is neither a date-time nor a number"));
        if (!first && cell.Kind != r.FirstKind && (cell.Kind == TDateTimeCell::YearFirst || r.FirstKind == TDateTimeCell::YearFirst))
            RefuseTable(t.File, line, "the date " + Quoted(text) + " is not written like the first row's");
        if (!first && cell.HasZone != r.FirstZone)
            RefuseTable(t.File, line, "the time " + Quoted(text) + (cell.HasZone ? " has" : " has no") +
                                     " time zone, the first row's " + (cell.HasZone ? "has none" : "has one"));
        if (!CellSeconds(cell, r.Order, value))
            RefuseTable(t.File, line, "the date " + Quoted(text) + " does not exist (read " + DateOrderName(r.Order) + ")");
        zone = cell.HasZone;
        kind = cell.Kind;
        return value;
    }
    if (dateTime)
        RefuseTable(t.File, line, "the time " + Quoted(text) + " is a date-time, the rows before are not");
    if (r.Head.Kind == ETimeKind::Unix) {
        if (!UnixTime(text, value))
            RefuseTable(t.File, line, "the time " + Quoted(text) + " is not a Unix time like the rows before");
        return value;
    }
    if (Number(text, false, value) || (text.find(',') != std::string::npos && Number(text, true, value)))
        return r.OwnExport ? value : value * 60;  // this program's seconds, else minutes
    RefuseTable(t.File, line, "the time " + Quoted(text) + " is neither a date-time nor a number");
}

// Davis WeatherLink writes no units; its US settings go with 12-hour times
// and a barometer in inches of mercury.
bool ImperialDavis(const TTableHead& h, const TCleanLines& c)
{
    if (!h.Stacked)
        return false;
    bool imperial = false;
    bool decided = false;
    ForEachRow(c, h, [&](std::size_t, const std::vector<std::string_view>& fields) {
        if (decided)
            return;
        decided = true;
        for (std::size_t i = 0; i < h.Names.size() && i < fields.size(); ++i) {
            double bar;
            if (EqualsIgnoreCase(h.Names[i], "Bar") && Number(Unquoted(fields[i]), false, bar)) {
                imperial = bar < HighestInchesOfMercury;
                return;
            }
        }
        std::string buffer;
        const std::string_view time = TimeText(h, fields, buffer);
        const char last = time.empty() ? ' ' : LowerAscii(time.back());
        imperial = last == 'a' || last == 'p' || last == 'm';
    });
    return imperial;
}

bool TemperatureName(std::string_view name)
{
    for (std::string_view w : {"temp", "dew", "chill", "heat", "thw", "thsw"})
        if (Contains(name, w))
            return true;
    return false;
}

void NameColumns(const TTableHead& h, const TCleanLines& c, TTimeTable& t, std::vector<int>& fieldOf)
{
    const std::string timeName =
        h.HasHeader ? h.Names[std::size_t(h.TimeField)] + (h.ClockField >= 0 ? "+" + h.Names[std::size_t(h.ClockField)] : "")
                    : std::string("Time");
    t.Names.push_back(timeName);
    const bool imperial = ImperialDavis(h, c);
    for (std::size_t f = 0; f < h.Names.size(); ++f) {
        if (int(f) == h.TimeField || int(f) == h.ClockField)
            continue;
        t.Names.push_back(h.Names[f]);
        fieldOf.push_back(int(f));
        const std::string unit = f < h.MetaUnits.size() ? h.MetaUnits[f] : "";
        const bool fahrenheit = FahrenheitHeader(h.Names[f]) || unit == "F" || FahrenheitHeader("(" + unit + ")") ||
                                (imperial && TemperatureName(h.Names[f]));
        t.Fahrenheit.push_back(fahrenheit);
    }
    if (imperial)
        t.Notes.push_back("a WeatherLink export in US units (12-hour times or the barometer in inches): its "
                          "temperatures are read as \u00b0F");
    if (!h.HasHeader)
        t.Notes.push_back("the file has no header: its first line is a row");
    t.Columns.resize(fieldOf.size());
    t.Faults.resize(fieldOf.size());
}

void ReadValues(const TTableHead& h, const std::vector<int>& fieldOf, const std::vector<std::string_view>& fields,
                std::size_t line, TTimeTable& t)
{
    for (std::size_t k = 0; k < fieldOf.size(); ++k) {
        const std::size_t f = std::size_t(fieldOf[k]);
        const std::string_view cell = f < fields.size() ? Unquoted(fields[f]) : std::string_view();
        double v = NaN;
        if (Number(cell, h.CommaDecimal, v)) {  // the common case first
            if (t.Fahrenheit[k])
                v = CelsiusFromFahrenheit(v);
        } else {
            v = NaN;
            if (!GapCell(cell) && !t.Faults[k].Line)
                t.Faults[k] = {line, std::string(cell)};
        }
        t.Columns[k].push_back(v);
    }
}

void CheckWidth(const TTableHead& h, const std::vector<std::string_view>& fields, std::size_t width,
                const std::string& file, std::size_t line)
{
    if (fields.size() <= width)
        return;
    for (std::size_t i = width; i < fields.size(); ++i)
        if (!Trim(fields[i]).empty())
            RefuseTable(file, line, std::to_string(fields.size()) + " fields, but the " +
                                   (h.HasHeader ? "header names " : "first row has ") + std::to_string(width));
}

// Times on the UTC scale are shown at the place's offset where the file
// gives it, else on this computer's clock.
void ShowOnLocalClock(TTimeTable& t)
{
    if (t.PlaceOffsetMinutes) {
        t.ClockOffsetMinutes = *t.PlaceOffsetMinutes;
        t.Notes.push_back("times on the UTC scale, shown at the place's offset the file gives (" +
                          OffsetText(t.ClockOffsetMinutes) + ")");
        return;
    }
    t.ClockOffsetMinutes = LocalUtcOffsetMinutes(t.Times.front());
    t.Notes.push_back("times on the UTC scale, shown on this computer's clock (" + OffsetText(t.ClockOffsetMinutes) +
                      ")");
}

}  // namespace

std::string OffsetText(int minutes)
{
    char text[16];
    std::snprintf(text, sizeof text, "UTC%c%02d:%02d", minutes < 0 ? '-' : '+', std::abs(minutes) / 60,
                  std::abs(minutes) % 60);
    return text;
}

TTimeTable ParseTimeTable(std::string_view text, const std::string& fileName, const TTableOptions& options)
{
    TTimeTable t;
    t.File = fileName;
    if (text.find('\0') != std::string_view::npos)
        RefuseTable(fileName, 0,
               "this is not a text file: expected a header line, then rows of a time (a date-time, or minutes) "
               "followed by numbers, separated by commas, semicolons or tabs");
    const TCleanLines c = CleanLines(text, fileName);
    const TTableHead h = FindTableHead(c, fileName, options, t.Notes);
    if (NarrowLayout(h))
        return ReadNarrowTable(c, h, std::move(t));
    std::vector<int> fieldOf;
    NameColumns(h, c, t, fieldOf);
    const bool ownExport = h.Kind == ETimeKind::Number && t.Names[0] == OutputColumns[oTime].Name &&
                           FindColumn(t, OutputColumns[oAir].Name) > 0;
    TRowTimes r{h, DateOrder(c, h, options, t), ownExport};
    const std::size_t width = h.Names.size();
    bool zone = false;
    TDateTimeCell::EKind kind = TDateTimeCell::YearFirst;
    std::string buffer;
    ForEachRow(c, h, [&](std::size_t line, const std::vector<std::string_view>& fields) {
        if (t.Times.size() == MaxTableRows)
            RefuseTable(fileName, line, "more than 10 million rows");
        CheckWidth(h, fields, width, fileName, line);
        const std::string_view when = TimeText(h, fields, buffer);
        const double time = RowTime(r, when, t.Times.empty(), t, line, zone, kind);
        if (t.Times.empty()) {
            r.FirstZone = zone;
            r.FirstKind = kind;
        }
        if (!std::isfinite(time) || (!t.Times.empty() && time - t.Times.front() > MaxTableSpan))
            RefuseTable(fileName, line, "the time " + Quoted(when) + " lies more than 10 years after the first row's");
        if (!t.Times.empty() && !(time > t.Times.back()))
            RefuseTable(fileName, line, "the time " + Quoted(when) + " does not come after the row before");
        t.Times.push_back(time);
        t.Lines.push_back(line);
        ReadValues(h, fieldOf, fields, line, t);
    });
    if (t.Times.empty())
        RefuseTable(fileName, 0, "no rows of numbers");
    double placeOffset;
    if (MetadataValue(c, "utc_offset_seconds", placeOffset) && std::abs(placeOffset) <= 18 * 3600)
        t.PlaceOffsetMinutes = int(placeOffset / 60);
    double elevation;
    if (MetadataValue(c, "elevation", elevation) && elevation >= 0 && elevation <= HighestSiteElevation)
        t.ElevationMetres = elevation;
    t.ClockTimes = h.Kind != ETimeKind::Number;
    t.UtcBased = h.Kind == ETimeKind::Unix || r.FirstZone;
    if (t.UtcBased)
        ShowOnLocalClock(t);
    return t;
}

TTimeTable ReadTimeTable(const std::string& path, const TTableOptions& options)
{
    std::string text;
    try {
        text = ReadBoundedFile(path, TableSizeLimit);
    } catch (const EReadError& e) {
        RefuseTable(path, 0, std::string("cannot be read: ") + e.what());
    } catch (const std::bad_alloc&) {
        RefuseTable(path, 0, "cannot be read: there is not enough memory for it");
    }
    return ParseTimeTable(text, path, options);
}

}  // namespace brennic
