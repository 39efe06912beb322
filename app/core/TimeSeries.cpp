#include "app/core/TimeSeries.h"

#include "app/core/InputFields.h"
#include "app/core/OutputColumns.h"
#include "support/LibStandard.h"
#include "support/BoundedRead.h"
#include "support/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

namespace brennic {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

[[noreturn]] void Refuse(const std::string& file, std::size_t line, const std::string& what)
{
    throw ETableError(file + (line ? ", line " + std::to_string(line) : std::string()) + ": " + what);
}

const char* const Expected =
    "expected a header line, then rows of a time (a date-time, or minutes) followed by numbers, separated "
    "by commas, semicolons or tabs";

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string_view Unquoted(std::string_view s)
{
    s = Trim(s);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
        s = s.substr(1, s.size() - 2);
    return Trim(s);
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

bool Contains(std::string_view text, std::string_view word)
{
    if (word.size() > text.size())
        return false;
    for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < word.size() && Lower(text[i + k]) == Lower(word[k])) ++k;
        if (k == word.size())
            return true;
    }
    return false;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && Contains(a, b);
}

// The lines of the text, without their CR LF or LF, and without a BOM.
std::vector<std::string_view> SplitLines(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void SplitFields(std::string_view line, char separator, std::vector<std::string_view>& out)
{
    out.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t end = line.find(separator, start);
        out.push_back(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return;
        start = end + 1;
    }
}

// A number: optional sign, digits with an optional fraction (after "." or,
// where allowed, ","), an optional exponent. False for anything else.
bool Number(std::string_view cell, bool commaDecimal, double& value)
{
    cell = Trim(cell);
    if (cell.empty() || cell.size() > 400)
        return false;
    char buffer[401];
    std::size_t n = 0;
    std::size_t i = 0;
    if (cell[0] == '+')
        ++i;
    if (i < cell.size() && (cell[i] == '+' || cell[i] == '-') && i > 0)
        return false;  // one sign at the most
    bool digits = false;
    for (; i < cell.size(); ++i) {
        char c = cell[i];
        if (c == ',' && commaDecimal)
            c = '.';
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E' || c == '+'))
            return false;
        digits = digits || (c >= '0' && c <= '9');
        buffer[n++] = c;
    }
    if (!digits)
        return false;
    const auto r = std::from_chars(buffer, buffer + n, value);
    return r.ec == std::errc() && r.ptr == buffer + n && std::isfinite(value);
}

// February has 29 days in the Gregorian leap years.
int DaysInMonth(long long year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (long long)doe - 719468;
}

bool Digits(std::string_view s, std::size_t at, std::size_t count, int& value)
{
    if (at + count > s.size())
        return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

struct TLayout {
    std::size_t headerLine = 0;  // index into the lines
    char separator = ',';
    bool commaDecimal = false;
    bool ownExport = false;  // "Time" in seconds beside "T_Ambient"
};

TLayout FindLayout(const std::vector<std::string_view>& lines, const std::string& file)
{
    TLayout layout;
    // A weather service's export: metadata, a blank line, then the table.
    for (std::size_t i = 0; i < std::min<std::size_t>(10, lines.size()); ++i)
        if (Trim(lines[i]).empty()) {
            layout.headerLine = i + 1;
            break;
        }
    while (layout.headerLine < lines.size() && Trim(lines[layout.headerLine]).empty()) ++layout.headerLine;
    if (layout.headerLine >= lines.size())
        Refuse(file, 0, std::string("no table found: ") + Expected);
    const std::string_view header = lines[layout.headerLine];
    layout.separator = header.find('\t') != std::string_view::npos  ? '\t'
                       : header.find(';') != std::string_view::npos ? ';'
                                                                    : ',';
    layout.commaDecimal = layout.separator != ',';
    return layout;
}

void ReadHeader(std::string_view line, const TLayout& layout, std::size_t lineNumber, TTimeTable& t)
{
    std::vector<std::string_view> fields;
    SplitFields(line, layout.separator, fields);
    if (fields.size() < 2)
        Refuse(t.File, lineNumber, std::string("the header has a single column: ") + Expected);
    for (std::string_view f : fields) t.Names.emplace_back(Unquoted(f));
    t.Columns.resize(fields.size() - 1);
}

double RowTime(std::string_view cell, bool ownExport, bool& clock, bool first, int& offset, const TTimeTable& t,
               std::size_t line)
{
    double value = 0;
    int rowOffset = 0;
    if (ParseDateTime(Unquoted(cell), value, rowOffset)) {
        if (!first && !clock)
            Refuse(t.File, line, "the time '" + ShownText(Trim(cell)) + "' is a date-time, the rows before are not");
        clock = true;
        if (first)
            offset = rowOffset;
        return value;
    }
    if (Number(cell, false, value) || (cell.find(',') != std::string_view::npos && Number(cell, true, value))) {
        if (clock)
            Refuse(t.File, line, "the time '" + ShownText(Trim(cell)) + "' is not a date-time like the rows before");
        return ownExport ? value : value * 60;  // this program's seconds, else minutes
    }
    Refuse(t.File, line, "the time '" + ShownText(Trim(cell)) + "' is neither a date-time nor a number");
}

}  // namespace

bool ParseDateTime(std::string_view s, double& seconds, int& offsetMinutes)
{
    s = Trim(s);
    int y, mo, d, h, mi, sec = 0;
    if (!Digits(s, 0, 4, y) || s.size() < 16 || s[4] != '-' || !Digits(s, 5, 2, mo) || s[7] != '-' ||
        !Digits(s, 8, 2, d) || (s[10] != 'T' && s[10] != ' ') || !Digits(s, 11, 2, h) || s[13] != ':' ||
        !Digits(s, 14, 2, mi))
        return false;
    std::size_t i = 16;
    double fraction = 0;
    if (i < s.size() && s[i] == ':') {
        if (!Digits(s, i + 1, 2, sec))
            return false;
        i += 3;
        if (i < s.size() && s[i] == '.') {
            double scale = 0.1;
            ++i;
            while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
                fraction += (s[i] - '0') * scale;
                scale /= 10;
                ++i;
            }
        }
    }
    offsetMinutes = 0;
    if (i < s.size() && s[i] == 'Z') {
        ++i;
    } else if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        int oh, om;
        if (!Digits(s, i + 1, 2, oh) || i + 3 >= s.size() || s[i + 3] != ':' || !Digits(s, i + 4, 2, om))
            return false;
        offsetMinutes = (s[i] == '-' ? -1 : 1) * (oh * 60 + om);
        i += 6;
    }
    if (i != s.size() || mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo) || h > 24 || mi > 59 || sec > 60)
        return false;
    const double days = double(DaysFromCivil(y, unsigned(mo), unsigned(d)));
    seconds = days * 86400 + h * 3600 + mi * 60 + sec + fraction - offsetMinutes * 60.0;
    return true;
}

std::string ClockText(const TTimeTable& table, double seconds)
{
    const double local = seconds + table.ClockOffsetMinutes * 60.0;
    const long long minutes = (long long)std::floor(local / 60 + 1e-9);
    const long long ofDay = ((minutes % 1440) + 1440) % 1440;
    char text[8];
    std::snprintf(text, sizeof text, "%02lld:%02lld", ofDay / 60, ofDay % 60);
    return text;
}

// The longest span of rows a table may have: 10 years of 365.25 days.
constexpr double MaxTableSpan = 10 * 365.25 * 86400;

TTimeTable ParseTimeTable(std::string_view text, const std::string& fileName)
{
    TTimeTable t;
    t.File = fileName;
    if (text.find('\0') != std::string_view::npos)
        Refuse(fileName, 0, std::string("this is not a text file: ") + Expected);
    const std::vector<std::string_view> lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].size() > LineSizeLimit)
            Refuse(fileName, i + 1, "the line is longer than the limit of " + SizeText(LineSizeLimit));
    const TLayout layout = FindLayout(lines, fileName);
    ReadHeader(lines[layout.headerLine], layout, layout.headerLine + 1, t);
    const bool ownExport = t.Names[0] == OutputColumns[oTime].Name && FindColumn(t, OutputColumns[oAir].Name) > 0;

    std::vector<std::string_view> fields;
    const std::size_t width = t.Names.size();
    for (std::size_t i = layout.headerLine + 1; i < lines.size(); ++i) {
        if (Trim(lines[i]).empty())
            continue;
        const std::size_t line = i + 1;
        if (t.Times.size() == MaxTableRows)
            Refuse(fileName, line, "more than 10 million rows");
        SplitFields(lines[i], layout.separator, fields);
        if (fields.size() > width)
            Refuse(fileName, line,
                   std::to_string(fields.size()) + " fields, but the header names " + std::to_string(width));
        const double time = RowTime(fields[0], ownExport, t.ClockTimes, t.Times.empty(), t.ClockOffsetMinutes, t, line);
        if (!std::isfinite(time) || (!t.Times.empty() && time - t.Times.front() > MaxTableSpan))
            Refuse(fileName, line,
                   "the time '" + ShownText(Trim(fields[0])) + "' lies more than 10 years after the first row's");
        if (!t.Times.empty() && !(time > t.Times.back()))
            Refuse(fileName, line,
                   "the time '" + ShownText(Trim(fields[0])) + "' does not come after the row before");
        t.Times.push_back(time);
        t.Lines.push_back(line);
        for (std::size_t c = 1; c < width; ++c) {
            const std::string_view cell = c < fields.size() ? Unquoted(fields[c]) : std::string_view();
            double v = NaN;
            if (!cell.empty() && !Number(cell, layout.commaDecimal, v))
                Refuse(fileName, line,
                       "column \"" + ShownText(t.Names[c]) + "\" has '" + ShownText(cell) + "', which is not a number");
            t.Columns[c - 1].push_back(v);
        }
    }
    if (t.Times.empty())
        Refuse(fileName, 0, std::string("no rows of numbers: ") + Expected);
    return t;
}

TTimeTable ReadTimeTable(const std::string& path)
{
    std::string text;
    try {
        text = ReadBoundedFile(path, TableSizeLimit);
    } catch (const EReadError& e) {
        Refuse(path, 0, std::string("cannot be read: ") + e.what());
    } catch (const std::bad_alloc&) {
        Refuse(path, 0, "cannot be read: there is not enough memory for it");
    }
    return ParseTimeTable(text, path);
}

std::string BareName(std::string_view name)
{
    name = Unquoted(name);
    if (!name.empty() && name.back() == ')') {
        const std::size_t open = name.rfind('(');
        if (open != std::string_view::npos)
            name = Trim(name.substr(0, open));
    }
    return std::string(name);
}

int FindColumn(const TTimeTable& table, std::string_view name)
{
    const std::string wanted = BareName(name);
    for (std::size_t i = 0; i < table.Names.size(); ++i)
        if (EqualsIgnoreCase(BareName(table.Names[i]), wanted))
            return int(i);
    return -1;
}

int ColumnContaining(const TTimeTable& table, std::string_view word)
{
    for (std::size_t i = 1; i < table.Names.size(); ++i)
        if (Contains(BareName(table.Names[i]), word))
            return int(i);
    return -1;
}

int DefaultAirColumn(const TTimeTable& table)
{
    for (std::size_t i = 1; i < table.Names.size(); ++i) {
        const std::string name = BareName(table.Names[i]);
        if (EqualsIgnoreCase(name, OutputColumns[oAir].Name) ||
            (Contains(name, "temp") && !Contains(name, "dew") && !Contains(name, "sky")))
            return int(i);
    }
    return 1;
}

double RunStart(const TTimeTable& table, const std::string& when)
{
    const double first = table.Times.front();
    if (Trim(when).empty())
        return first;
    if (!table.ClockTimes)
        Refuse(table.File, 0, "a start of '" + when + "' needs a file with clock times");
    double at = 0;
    int offset = 0;
    if (ParseDateTime(when, at, offset))
        return at;
    int h, m;
    const std::string_view w = Trim(when);
    if (w.size() == 5 && Digits(w, 0, 2, h) && w[2] == ':' && Digits(w, 3, 2, m) && h < 24 && m < 60) {
        // The first such clock time at or after the first row, in the file's clock.
        const double local = first + table.ClockOffsetMinutes * 60.0;
        const double midnight = std::floor(local / 86400) * 86400;
        double candidate = midnight + h * 3600 + m * 60;
        if (candidate < local)
            candidate += 86400;
        return candidate - table.ClockOffsetMinutes * 60.0;
    }
    Refuse(table.File, 0, "the start '" + when + "' is neither a date-time nor HH:MM");
}

TSeries::TSeries(const TTimeTable& table, int column, double start)
{
    name_ = table.Names.at(std::size_t(column));
    const std::vector<double>& values = table.Columns.at(std::size_t(column) - 1);
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!std::isnan(values[i])) {
            times_.push_back(table.Times[i] - start);
            values_.push_back(values[i]);
        }
    if (times_.empty())
        Refuse(table.File, 0, "column \"" + name_ + "\" has no values");
    const auto [lo, hi] = std::minmax_element(values_.begin(), values_.end());
    lowest_ = *lo;
    highest_ = *hi;
}

void TSeries::Range(double from, double to, double& lowest, double& highest) const
{
    lowest = highest = At(from);
    const double end = At(to);
    lowest = std::min(lowest, end);
    highest = std::max(highest, end);
    const auto first = std::upper_bound(times_.begin(), times_.end(), from);
    for (auto it = first; it != times_.end() && *it < to; ++it) {
        const double v = values_[std::size_t(it - times_.begin())];
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
    }
}

void CheckTemperatureColumn(const TTimeTable& t, int column)
{
    const std::vector<double>& values = t.Columns[std::size_t(column) - 1];
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!std::isnan(values[i]) && !(values[i] >= LowestTemperature && values[i] <= HighestTemperature))
            throw ETableError(t.File + ", line " + std::to_string(t.Lines[i]) + ": column \"" +
                              t.Names[std::size_t(column)] + "\" has " + ToUtf8(FormatFloat(values[i], u'.')) +
                              ": temperatures must be between -273 and 1000 \u00b0C");
}

double TSeries::At(double t) const
{
    if (!(t > times_.front()))
        return values_.front();
    if (t >= times_.back())
        return values_.back();
    // s_j <= t < s_j+1. No state is kept between queries: one series is read
    // by several runs at once (a sweep's workers, the window and its worker).
    const std::size_t j = std::size_t(std::upper_bound(times_.begin(), times_.end(), t) - times_.begin()) - 1;
    return values_[j] + ((values_[j + 1] - values_[j]) * (t - times_[j])) / (times_[j + 1] - times_[j]);
}

}  // namespace brennic
