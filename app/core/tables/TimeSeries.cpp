#include "app/core/tables/TimeSeries.h"

#include "app/core/tables/TextCells.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace brennic {

void RefuseTable(const std::string& file, std::size_t line, const std::string& what)
{
    throw ETableError(file + (line ? ", line " + std::to_string(line) : std::string()) + ": " + what);
}

std::string ClockText(const TTimeTable& table, double seconds)
{
    return LocalDateTimeText(table, seconds).substr(11);
}

std::string LocalDateTimeText(const TTimeTable& table, double seconds)
{
    return DateTimeText(seconds + table.ClockOffsetMinutes * 60.0);
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
    // The whole name first: names may differ only in what a suffix says
    // ("Temp, °C (LGR S/N: 1234, SEN S/N: 1)" and "... 2)").
    for (std::size_t i = 0; i < table.Names.size(); ++i)
        if (EqualsIgnoreCase(Unquoted(table.Names[i]), Unquoted(name)))
            return int(i);
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

namespace {

// The start as a time on the table's scale, or false.
bool StartTime(const TTimeTable& table, std::string_view when, double& at)
{
    int offset = 0;
    bool zone = false;
    if (ParseDateTime(when, at, offset, &zone)) {
        if (!zone && table.UtcBased)
            at -= table.ClockOffsetMinutes * 60.0;  // a time on the local clock
        return true;
    }
    // A date alone: its first row (at or after its midnight on the local clock).
    long long day;
    if (ParseDate(when, day)) {
        const double midnight = double(day) * 86400 - table.ClockOffsetMinutes * 60.0;
        const auto first = std::lower_bound(table.Times.begin(), table.Times.end(), midnight);
        at = first == table.Times.end() ? midnight : *first;
        return true;
    }
    double ofDay;
    if (when.size() != 5 || when[2] != ':' || !ParseClock(when, ofDay) || ofDay >= 86400)
        return false;
    // The first such clock time at or after the first row, on the local clock.
    const double local = table.Times.front() + table.ClockOffsetMinutes * 60.0;
    const double midnight = std::floor(local / 86400) * 86400;
    at = midnight + ofDay;
    if (at < local)
        at += 86400;
    at -= table.ClockOffsetMinutes * 60.0;
    return true;
}

}  // namespace

double RunStart(const TTimeTable& table, const std::string& when)
{
    const double first = table.Times.front();
    const std::string_view w = Trim(when);
    if (w.empty())
        return first;
    if (!table.ClockTimes)
        RefuseTable(table.File, 0, "a start of '" + ShownText(when) + "' needs a file with clock times");
    double at = 0;
    if (!StartTime(table, w, at))
        RefuseTable(table.File, 0, "the start '" + ShownText(when) + "' is neither a date-time, a date nor HH:MM");
    if (at < first || at > table.Times.back())
        RefuseTable(table.File, 0, "the start '" + ShownText(when) + "' lies outside the file's times, " +
                                  LocalDateTimeText(table, first) + " to " + LocalDateTimeText(table, table.Times.back()));
    return at;
}

void CheckNumberColumn(const TTimeTable& t, int column)
{
    const TCellFault& fault = t.Faults.at(std::size_t(column) - 1);
    if (fault.Line)
        RefuseTable(t.File, fault.Line,
               "column \"" + ShownText(t.Names[std::size_t(column)]) + "\" has '" + ShownText(fault.Text) +
                   "', which is not a number");
}

TSeries::TSeries(const TTimeTable& table, const std::vector<double>& values, std::string name, double start)
    : name_(std::move(name))
{
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!std::isnan(values[i])) {
            times_.push_back(table.Times[i] - start);
            values_.push_back(values[i]);
        }
    if (times_.empty())
        RefuseTable(table.File, 0, "column \"" + name_ + "\" has no values");
    const auto [lo, hi] = std::minmax_element(values_.begin(), values_.end());
    lowest_ = *lo;
    highest_ = *hi;
}

namespace {

const std::vector<double>& NumberColumn(const TTimeTable& table, int column)
{
    CheckNumberColumn(table, column);
    return table.Columns.at(std::size_t(column) - 1);
}

}  // namespace

TSeries::TSeries(const TTimeTable& table, int column, double start)
    : TSeries(table, NumberColumn(table, column), table.Names.at(std::size_t(column)), start)
{
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

TSeries::TGap TSeries::LongestGap(double from, double to) const
{
    TGap longest;
    for (std::size_t i = 1; i < times_.size(); ++i)
        if (times_[i] > from && times_[i - 1] < to && times_[i] - times_[i - 1] > longest.To - longest.From)
            longest = {times_[i - 1], times_[i]};
    return longest;
}

double TSeries::MedianStep() const
{
    if (times_.size() < 2)
        return 0;
    std::vector<double> steps(times_.size() - 1);
    for (std::size_t i = 1; i < times_.size(); ++i) steps[i - 1] = times_[i] - times_[i - 1];
    std::nth_element(steps.begin(), steps.begin() + long(steps.size() / 2), steps.end());
    return steps[steps.size() / 2];
}

void CheckTemperatureColumn(const TTimeTable& t, int column)
{
    CheckNumberColumn(t, column);
    const std::vector<double>& values = t.Columns[std::size_t(column) - 1];
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!std::isnan(values[i]) && !(values[i] >= LowestTemperature && values[i] <= HighestTemperature))
            RefuseTable(t.File, t.Lines[i],
                        "column \"" + t.Names[std::size_t(column)] + "\" has " + ToUtf8(FormatFloat(values[i], u'.')) +
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
