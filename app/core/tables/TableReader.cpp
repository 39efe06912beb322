// Reading a time table: the rows of the section FindTableHead chose, their
// times on one scale, their values in °C.
#include "app/core/tables/ColumnRoles.h"
#include "app/core/tables/DateOrderEvidence.h"
#include "app/core/tables/KnownSources.h"
#include "app/core/tables/NarrowTable.h"
#include "app/core/tables/TableLayout.h"
#include "app/core/tables/TableMetadata.h"
#include "app/core/tables/TextCells.h"
#include "app/core/tables/Plausibility.h"
#include "app/core/results/OutputColumns.h"
#include "support/BoundedRead.h"
#include "support/ContentHash.h"
#include "support/LibStandard.h"
#include "support/LocalClock.h"
#include "support/NumberText.h"

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

struct TRowTimes {
    const TTableHead& Head;
    EDateOrder Order;
    bool OwnExport;
    std::optional<long long> FirstDay;  // of clock times without a date
    bool FirstZone = false;
    TDateTimeCell::EKind FirstKind = TDateTimeCell::YearFirst;
    double LastClock = -1;  // a clock-only row's time of day, for midnight
    long long Day = 0;
};

double RowTime(TRowTimes& r, std::string_view text, bool first, const TTimeTable& t, std::size_t line, bool& zone,
               TDateTimeCell::EKind& kind)
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
        if (!first && cell.Kind != r.FirstKind &&
            (cell.Kind == TDateTimeCell::YearFirst || r.FirstKind == TDateTimeCell::YearFirst))
            RefuseTable(t.File, line, "the date " + Quoted(text) + " is not written like the first row's");
        if (!first && cell.HasZone != r.FirstZone)
            RefuseTable(t.File, line, "the time " + Quoted(text) + (cell.HasZone ? " has" : " has no") +
                                          " time zone, the first row's " + (cell.HasZone ? "has none" : "has one"));
        if (!CellSeconds(cell, r.Order, value))
            RefuseTable(t.File, line, "the date " + Quoted(text) + " does not exist (read " + DateOrderName(r.Order) +
                                          "; --date-order chooses)");
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
    if (r.Head.Kind == ETimeKind::Clock) {
        // Clock times of a serial monitor: the first row's date given, the
        // day turning at each midnight.
        double ofDay;
        if (!ParseClock(text, ofDay))
            RefuseTable(t.File, line, "the time " + Quoted(text) + " is not a clock time like the rows before");
        if (first)
            r.Day = *r.FirstDay;
        else if (ofDay < r.LastClock)
            ++r.Day;
        r.LastClock = ofDay;
        return double(r.Day) * 86400 + ofDay;
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
        const std::string_view time = RowTimeText(h, fields, buffer);
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

// The unit system a column such as WeeWX's usUnits states in the first row,
// the same in every row: 1 is US customary (°F).
bool UsCustomary(const TTableHead& h, const TCleanLines& c, const TKnownSource& source, const std::string& file)
{
    if (source.UnitSystemColumn.empty())
        return false;
    int field = -1;
    for (std::size_t i = 0; i < h.Names.size(); ++i)
        if (EqualsIgnoreCase(BareName(h.Names[i]), source.UnitSystemColumn))
            field = int(i);
    if (field < 0)
        return false;
    double system = NaN;
    ForEachRow(c, h, [&](std::size_t line, const std::vector<std::string_view>& fields) {
        double v = NaN;
        if (std::size_t(field) < fields.size())
            Number(Unquoted(fields[std::size_t(field)]), false, v);
        if (std::isnan(system))
            system = v;
        else if (v != system)
            RefuseTable(file, line, "column \"" + source.UnitSystemColumn + "\" changes from " +
                                        ToUtf8(FormatFloat(system, u'.')) + " to " + ToUtf8(FormatFloat(v, u'.')) +
                                        ": read the rows of each unit system apart");
    });
    return system == 1;
}

void NameColumns(const TTableHead& h, const TCleanLines& c, const TKnownSource& source, TTimeTable& t,
                 std::vector<int>& fieldOf)
{
    t.Names.push_back(h.HasHeader ? h.TimeName() : std::string("Time"));
    const bool imperial = ImperialDavis(h, c);
    const bool usUnits = UsCustomary(h, c, source, t.File);
    for (std::size_t f = 0; f < h.Names.size(); ++f) {
        if (h.IsTimeField(int(f)))
            continue;
        t.Names.push_back(h.Names[f]);
        fieldOf.push_back(int(f));
        const std::string unit = f < h.MetaUnits.size() ? h.MetaUnits[f] : "";
        t.Units.push_back(unit);
        const bool celsius = CelsiusHeader(h.Names[f]) || CelsiusUnit(unit);
        const bool fahrenheit =
            !celsius && (FahrenheitHeader(h.Names[f]) || FahrenheitUnit(unit) ||
                         ((imperial || usUnits) && TemperatureName(BareName(h.Names[f]))));
        t.Fahrenheit.push_back(fahrenheit);
        t.Tenths.push_back(NameListed(h.Names[f], source.Tenths));
    }
    if (imperial)
        t.Notes.push_back("a WeatherLink export in US units (12-hour times or the barometer in inches): its "
                          "temperatures are read as \u00b0F");
    if (usUnits)
        t.Notes.push_back("column \"" + source.UnitSystemColumn + "\" says US customary units: temperatures are read "
                          "as \u00b0F");
    if (!h.HasHeader)
        t.Notes.push_back("the file has no header: its first line is a row, and its temperatures carry no unit (read "
                          "as \u00b0C)");
    t.Columns.resize(fieldOf.size());
    t.Faults.resize(fieldOf.size());
}

// A cell's number as the source writes it: a quality code after a comma
// left off, a number for "no value" a gap.
bool SourceNumber(std::string_view cell, bool commaDecimal, const TKnownSource& source, double& v)
{
    if (source.QualityCodes) {
        const std::size_t comma = cell.find(',');
        if (comma != std::string_view::npos)
            cell = cell.substr(0, comma);
    }
    if (!Number(cell, commaDecimal, v))
        return false;
    for (double missing : source.Missing)
        if (v == missing)
            v = NaN;
    return true;
}

void ReadValues(const TTableHead& h, const TKnownSource& source, const std::vector<int>& fieldOf,
                const std::vector<std::string_view>& fields, std::size_t line, TTimeTable& t)
{
    for (std::size_t k = 0; k < fieldOf.size(); ++k) {
        const std::size_t f = std::size_t(fieldOf[k]);
        const std::string_view cell = f < fields.size() ? Unquoted(fields[f]) : std::string_view();
        double v = NaN;
        if (SourceNumber(cell, h.CommaDecimal, source, v)) {  // the common case first
            if (t.Tenths[k])
                v /= 10;
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

// Unmarked date-times: on the clock the option names, else the source's
// convention, else this computer's local time; each said in a note.
void PlaceUnmarkedTimes(const TTableOptions& o, const TKnownSource& source, const TTableHead& h, TTimeTable& t)
{
    auto shift = [&](int offsetMinutes) {
        for (double& time : t.Times) time -= offsetMinutes * 60.0;
    };
    if (!o.TimeZone.empty()) {
        int offset = 0;
        if (EqualsIgnoreCase(o.TimeZone, "local")) {
            t.Notes.push_back("times read as this computer's local time (--time-zone local)");
            return;
        }
        ParseTimeZone(o.TimeZone, offset);
        shift(offset);
        t.UtcBased = true;
        if (EqualsIgnoreCase(o.TimeZone, "UTC")) {
            t.Notes.push_back("times read as UTC (--time-zone UTC)");
            ShowOnLocalClock(t);
        } else {
            t.PlaceOffsetMinutes = offset;
            t.ClockOffsetMinutes = offset;
            t.Notes.push_back("times read at " + OffsetText(offset) + " (--time-zone " + o.TimeZone + ")");
        }
        return;
    }
    // A zone in the time column's name ("Date Time, GMT+01:00", a HOBO export's).
    const std::string& timeName = h.HasHeader ? h.Names[std::size_t(h.TimeFields[0])] : std::string();
    for (std::string_view prefix : {"GMT", "UTC"}) {
        const std::size_t at = timeName.find(prefix);
        if (at == std::string::npos)
            continue;
        const std::size_t from = at + prefix.size();
        const std::size_t end = timeName.find_first_not_of("+-0123456789:", from);
        int offset;
        if (end != from && ParseTimeZone(std::string_view(timeName).substr(from, end - from), offset)) {
            shift(offset);
            t.UtcBased = true;
            t.PlaceOffsetMinutes = t.ClockOffsetMinutes = offset;
            t.Notes.push_back("times read at " + OffsetText(offset) + ", as the time column's name says");
            return;
        }
    }
    if (source.UtcTimes) {
        t.UtcBased = true;
        t.Notes.push_back("times taken as UTC (the source's convention; --time-zone chooses otherwise)");
        ShowOnLocalClock(t);
        return;
    }
    if (source.LocalStandardTime && t.Longitude) {
        // Local solar time: the sun's own clock at the place's longitude.
        const int offset = int(std::lround(*t.Longitude * 4));
        shift(offset);
        t.UtcBased = true;
        t.PlaceOffsetMinutes = t.ClockOffsetMinutes = offset;
        t.Notes.push_back("times in local solar time (LST) at longitude " + ToUtf8(FormatFloat(*t.Longitude, u'.')) +
                          ": " + OffsetText(offset) + " (--time-zone chooses otherwise)");
        return;
    }
    if (t.PlaceOffsetMinutes && (h.Kind == ETimeKind::DateTime || h.Kind == ETimeKind::Clock)) {
        // Open-Meteo's files give the place's offset above the table.
        const int offset = *t.PlaceOffsetMinutes;
        shift(offset);
        t.UtcBased = true;
        t.ClockOffsetMinutes = offset;
        t.Notes.push_back("times read at " + OffsetText(offset) +
                          ", the place's offset the file gives (--time-zone chooses otherwise)");
        return;
    }
    if (h.Kind == ETimeKind::DateTime || h.Kind == ETimeKind::Clock)
        t.Notes.push_back("times taken as this computer's local time: the file does not say (--time-zone UTC or "
                          "\u00b1HH:MM chooses otherwise)");
}

std::string TimesReadAs(const TTableHead& h, bool ownExport)
{
    switch (h.Kind) {
    case ETimeKind::DateTime: return "date-times";
    case ETimeKind::Unix: return "Unix times";
    case ETimeKind::Clock: return "clock times";
    default: return ownExport ? "seconds" : "minutes";
    }
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
        return ReadNarrowTable(c, h, options, std::move(t));
    const TKnownSource source =
        h.HasHeader ? IdentifySource(h.Names, c.Lines.empty() ? std::string_view() : c.Lines[0])
                    : IdentifyHeaderless(h.Names.size(),
                                         h.Join == ETimeJoin::DateClock && h.TimeFields == std::vector<int>{0, 1});
    t.Source = source.Name;
    if (!source.Name.empty())
        t.Notes.push_back("read as " + source.Name + "'s layout");
    ReadMetadata(c, t);
    std::vector<int> fieldOf;
    NameColumns(h, c, source, t, fieldOf);
    const bool ownExport = h.Kind == ETimeKind::Number && t.Names[0] == OutputColumns[oTime].Name &&
                           FindColumn(t, OutputColumns[oAir].Name) > 0;
    if (h.Kind == ETimeKind::Clock && !options.FirstDay)
        RefuseTable(fileName, h.HeaderLine + 1 + (h.HasHeader ? 1 : 0),
                    "the times are clock times without a date: give the first row's date with --start YYYY-MM-DD");
    TRowTimes r{h, DecideDateOrder(c, h, options, t), ownExport, options.FirstDay};
    const std::size_t width = h.Names.size();
    bool zone = false;
    TDateTimeCell::EKind kind = TDateTimeCell::YearFirst;
    std::string buffer;
    ForEachRow(c, h, [&](std::size_t line, const std::vector<std::string_view>& fields) {
        if (t.Times.size() == MaxTableRows)
            RefuseTable(fileName, line, "more than 10 million rows");
        CheckWidth(h, fields, width, fileName, line);
        const std::string_view when = RowTimeText(h, fields, buffer);
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
        ReadValues(h, source, fieldOf, fields, line, t);
    });
    if (t.Times.empty())
        RefuseTable(fileName, 0, "no rows of numbers");
    t.ClockTimes = h.Kind != ETimeKind::Number;
    t.TimesReadAs = TimesReadAs(h, ownExport);
    t.UtcBased = h.Kind == ETimeKind::Unix || r.FirstZone;
    if (t.UtcBased)
        ShowOnLocalClock(t);
    else if (t.ClockTimes)
        PlaceUnmarkedTimes(options, source, h, t);
    CheckTimeScale(t, h.HasHeader ? h.Names[std::size_t(h.TimeFields[0])] : std::string("Column 1"));
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
    TTimeTable table = ParseTimeTable(text, path, options);
    table.ContentHash = ContentHash(text);
    return table;
}

}  // namespace brennic
