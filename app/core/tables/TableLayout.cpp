#include "app/core/tables/TableLayout.h"

#include "app/core/tables/ColumnRoles.h"
#include "app/core/tables/TextCells.h"
#include "support/BoundedRead.h"
#include "support/LibStandard.h"

#include <algorithm>

namespace brennic {

namespace {

const char* const Expected =
    "expected a header line, then rows of a time (a date-time, or minutes) followed by numbers, separated "
    "by commas, semicolons or tabs";

// How far into a section its first row may lie (metadata, headers).
constexpr std::size_t MaxHeadLines = 64;

std::string WithoutMarkup(std::string_view line)
{
    std::string out;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line.compare(i, 4, "<!--") == 0) {
            const std::size_t end = line.find("-->", i + 4);
            i = end == std::string_view::npos ? line.size() : end + 3;
        } else if (line[i] == '<' && Contains(line.substr(i, 3), "<br")) {
            const std::size_t end = line.find('>', i);
            i = end == std::string_view::npos ? line.size() : end + 1;
        } else {
            out += line[i++];
        }
    }
    return out;
}

char SeparatorOf(std::string_view line)
{
    return line.find('\t') != std::string_view::npos  ? '\t'
           : line.find(';') != std::string_view::npos ? ';'
                                                      : ',';
}

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

void FindTimeFields(TTableHead& h, const std::vector<std::string_view>& row, const TTableOptions& o,
                    const std::string& file)
{
    auto names = [&] {
        std::string all;
        for (const std::string& n : h.Names) all += (all.empty() ? "" : ", ") + n;
        return all;
    };
    if (!o.TimeColumn.empty()) {
        const std::size_t plus = o.TimeColumn.find('+');
        h.TimeField = FieldNamed(h.Names, o.TimeColumn.substr(0, plus));
        h.ClockField = plus == std::string::npos ? -1 : FieldNamed(h.Names, o.TimeColumn.substr(plus + 1));
        if (h.TimeField < 0 || (plus != std::string::npos && h.ClockField < 0))
            RefuseTable(file, 0, "there is no time column \"" + ShownText(o.TimeColumn) + "\" (the columns are " + names() + ")");
        return;
    }
    double seconds;
    TDateTimeCell cell;
    const std::size_t fields = std::min(row.size(), h.Names.size());  // only columns the header names
    for (std::size_t i = 0; i + 1 < fields; ++i)
        if (ParseDateTimeCell(Unquoted(row[i]), cell) && Unquoted(row[i]).find(':') == std::string_view::npos &&
            ParseClock(Unquoted(row[i + 1]), seconds)) {
            h.TimeField = int(i);
            h.ClockField = int(i + 1);
            return;
        }
    for (std::size_t i = 0; i < fields; ++i)
        if (DateTimeText(row[i])) {
            h.TimeField = int(i);
            return;
        }
    h.TimeField = 0;
}

// The head of a section, or false when it has no row near its top.
bool ReadHead(const TCleanLines& c, const TSection& s, const TTableOptions& o, const std::string& file, TTableHead& h)
{
    std::size_t d = s.First;
    while (d <= s.Last && d < s.First + MaxHeadLines && (c.Gone[d] || Blank(c, d) || !DataLine(c.Lines[d]))) ++d;
    if (d > s.Last || d >= s.First + MaxHeadLines)
        return false;
    h.First = s.First;
    h.Last = s.Last;
    const std::size_t header = PreviousLine(c, d, s.First);
    h.HasHeader = header != std::string::npos;
    h.HeaderLine = h.HasHeader ? header : d;
    h.Separator = SeparatorOf(c.Lines[h.HeaderLine]);
    h.CommaDecimal = h.Separator != ',';
    std::vector<std::string_view> row;
    SplitFields(c.Lines[d], h.Separator, row);
    ReadNames(c, h, header, row);
    if (h.Names.size() < 2 && !h.HasHeader)
        return false;  // a lone number is not a table
    if (h.Names.size() < 2)
        RefuseTable(file, header + 1, std::string("the header has a single column: ") + Expected);
    FindTimeFields(h, row, o, file);
    if (h.Names.size() < (h.ClockField >= 0 ? 3u : 2u))
        return false;  // nothing beside the time
    std::string text(Unquoted(row.size() > std::size_t(h.TimeField) ? row[std::size_t(h.TimeField)] : ""));
    if (h.ClockField >= 0 && std::size_t(h.ClockField) < row.size())
        text += " " + std::string(Unquoted(row[std::size_t(h.ClockField)]));
    double seconds;
    h.Kind = DateTimeText(text) ? ETimeKind::DateTime : UnixTime(text, seconds) ? ETimeKind::Unix : ETimeKind::Number;
    return true;
}

}  // namespace

TCleanLines CleanLines(std::string_view text, const std::string& file)
{
    TCleanLines c;
    c.Lines = SplitLines(text);
    c.Gone.assign(c.Lines.size(), 0);
    for (std::size_t i = 0; i < c.Lines.size(); ++i)
        if (c.Lines[i].size() > LineSizeLimit)
            RefuseTable(file, i + 1, "the line is longer than the limit of " + SizeText(LineSizeLimit));
    if (!Contains(text, "<br") && text.find("<!--") == std::string_view::npos)
        return c;
    c.Storage.reserve(c.Lines.size());
    for (std::size_t i = 0; i < c.Lines.size(); ++i) {
        if (c.Lines[i].find('<') == std::string_view::npos)
            continue;
        c.Storage.push_back(WithoutMarkup(c.Lines[i]));
        c.Gone[i] = Trim(c.Storage.back()).empty() && !Trim(c.Lines[i]).empty();
        c.Lines[i] = c.Storage.back();
    }
    return c;
}

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
        std::swap(names.Names[0], names.Names[std::size_t(h.TimeField)]);
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
