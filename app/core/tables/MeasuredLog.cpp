#include "app/core/tables/MeasuredLog.h"

#include "app/core/results/OutputColumns.h"
#include "app/core/tables/ColumnRoles.h"
#include "app/core/tables/Plausibility.h"
#include "app/core/tables/TextCells.h"

#include <cmath>
#include <limits>

namespace brennic {

namespace {

[[noreturn]] void Refuse(const std::string& file, const std::string& what)
{
    throw ETableError(file + ": " + what);
}

int Role(const TTimeTable& t, const std::string& name, const char* fallback, bool required, const char* role)
{
    if (name == NoColumn)
        return -1;
    const std::string wanted = name.empty() ? fallback : name;
    const int c = FindColumn(t, wanted);
    if (c <= 0 && (required || !name.empty()))
        Refuse(t.File, std::string("there is no ") + role + " column \"" + wanted + "\"");
    return c;
}

}  // namespace

TLogColumnIndices LogColumnIndices(const TTimeTable& t, const TLogColumns& columns)
{
    TLogColumnIndices c;
    c.Surface = Role(t, columns.Surface, OutputColumns[oSurface].Name, false, "surface");
    c.Back = Role(t, columns.Back, OutputColumns[oBack].Name, false, "back");
    if (c.Surface <= 0 && c.Back <= 0)
        Refuse(t.File, "a surface or a back column is needed (named T_Surface and T_Back, or chosen with "
                       "--measured-columns surface=NAME,back=NAME; the columns are " + ColumnCandidates(t) + ")");
    c.Air = Role(t, columns.Air, OutputColumns[oAir].Name, false, "air");
    return c;
}

namespace {

std::vector<TMeasuredPoint> Points(const TTimeTable& t, int column, double start)
{
    std::vector<TMeasuredPoint> points;
    if (column <= 0)
        return points;
    const std::vector<double>& values = t.Columns[std::size_t(column) - 1];
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!std::isnan(values[i]) && t.Times[i] >= start)
            points.push_back({t.Times[i] - start, values[i]});
    return points;
}

// The model at time t, linear between the two reports around it; false past the run.
bool ModelAt(const std::vector<TStepValues>& r, double t, bool surface, std::size_t& cursor, double& value)
{
    if (r.empty() || t > r.back().Time || t < r.front().Time)
        return false;
    while (cursor + 1 < r.size() && r[cursor + 1].Time < t) ++cursor;
    const TStepValues& a = r[cursor];
    const TStepValues& b = r[std::min(cursor + 1, r.size() - 1)];
    const double va = surface ? a.Surface : a.Back, vb = surface ? b.Surface : b.Back;
    value = b.Time > a.Time ? va + ((vb - va) * (t - a.Time)) / (b.Time - a.Time) : va;
    return true;
}

}  // namespace

TLogColumns ParseLogColumns(const std::string& text)
{
    TLogColumns c;
    std::vector<std::string_view> items;
    SplitFields(text, ',', items);
    if (text.empty())
        return c;
    for (std::string_view raw : items) {
        const std::string_view item = Trim(raw);
        const std::size_t eq = item.find('=');
        const std::string role(Trim(item.substr(0, eq)));
        const std::string name(eq == std::string_view::npos ? "" : Unquoted(item.substr(eq + 1)));
        std::string* slot = role == "time"      ? &c.Time
                            : role == "air"     ? &c.Air
                            : role == "surface" ? &c.Surface
                            : role == "back"    ? &c.Back
                                                : nullptr;
        if (!slot || name.empty())
            throw EBrennicError("\"--measured-columns\" has '" + std::string(item) +
                                "': expected time=NAME, air=NAME, surface=NAME or back=NAME (a name with commas in "
                                "double quotes)");
        *slot = name;
    }
    return c;
}

std::size_t DropProbeErrors(std::vector<double>& values)
{
    std::size_t dropped = 0;
    const std::size_t n = values.size();
    auto neighbour = [&](std::size_t i, int step) {
        for (std::size_t k = i; (step < 0 ? k > 0 : k + 1 < n);) {
            k = step < 0 ? k - 1 : k + 1;
            if (!std::isnan(values[k]) && values[k] != ProbeDisconnected && values[k] != ProbePowerOn)
                return values[k];
        }
        return std::numeric_limits<double>::quiet_NaN();
    };
    for (std::size_t i = 0; i < n; ++i) {
        bool error = values[i] == ProbeDisconnected;
        if (values[i] == ProbePowerOn) {
            const double before = neighbour(i, -1), after = neighbour(i, +1);
            auto near = [](double v) { return !std::isnan(v) && std::fabs(v - ProbePowerOn) <= ProbePowerOnNeighbours; };
            error = !near(before) && !near(after);
        }
        if (error) {
            values[i] = std::numeric_limits<double>::quiet_NaN();
            ++dropped;
        }
    }
    return dropped;
}

std::shared_ptr<const TMeasuredLog> TMeasuredLog::Load(const std::string& path, const TLogColumns& columns,
                                                       const std::string& start, TTableOptions read)
{
    if (!columns.Time.empty())
        read.TimeColumn = columns.Time;
    long long day;
    if (ParseDate(start, day))
        read.FirstDay = day;
    return FromTable(ReadTimeTable(path, read), columns, start);
}

std::shared_ptr<const TMeasuredLog> TMeasuredLog::FromTable(TTimeTable table, const TLogColumns& columns,
                                                            const std::string& start)
{
    const std::string path = table.File;
    auto log = std::make_shared<TMeasuredLog>();
    log->File = path;
    auto air = std::make_shared<TAirSource>();
    air->Table = std::move(table);
    TTimeTable& t = air->Table;
    if (t.Times.size() < 2)
        Refuse(path, "a log needs at least two rows");
    air->Start = RunStart(t, start);
    if (t.Times.back() < air->Start)
        Refuse(path, "the whole log lies before the start");
    const TLogColumnIndices roles = LogColumnIndices(t, columns);
    const int surface = roles.Surface, back = roles.Back, airColumn = roles.Air;
    for (int c : {surface, back, airColumn})
        if (c > 0) {
            CheckNumberColumn(t, c);
            if (c != airColumn)
                if (const std::size_t n = DropProbeErrors(t.Columns[std::size_t(c) - 1]))
                    t.Notes.push_back("column \"" + t.Names[std::size_t(c)] + "\": " + std::to_string(n) +
                                      (n == 1 ? " reading" : " readings") +
                                      " of -127 or 85 \u00b0C (a DS18B20 probe's error codes) left out");
            CheckTemperatureColumn(t, c);
            CheckPlausible(t, c, c == airColumn ? TSeriesKind::Air : TSeriesKind::Mirror);
        }
    air->Notes = t.Notes;
    log->Notes = t.Notes;
    log->Surface = Points(t, surface, air->Start);
    log->Back = Points(t, back, air->Start);
    if (log->Surface.empty() && log->Back.empty())
        Refuse(path, "no surface or back values at or after the start");
    if (airColumn > 0) {
        air->Air = TSeries(t, airColumn, air->Start);
        log->Air = air;
    }
    return log;
}

TMeasuredLog AlignedTo(const TMeasuredLog& log, const TAirSource& air, double duration)
{
    TMeasuredLog out = log;
    if (!log.Air || log.Air.get() == &air || !log.Air->Table.ClockTimes || !air.Table.ClockTimes ||
        log.Air->Table.UtcBased != air.Table.UtcBased)
        return out;
    const double shift = log.Air->Start - air.Start;  // run time of the log's time 0
    for (auto* points : {&out.Surface, &out.Back}) {
        std::vector<TMeasuredPoint> kept;
        for (const TMeasuredPoint& p : *points)
            if (p.Time + shift >= 0 && p.Time + shift <= duration)
                kept.push_back({p.Time + shift, p.Value});
        *points = std::move(kept);
    }
    return out;
}

double TMeasuredLog::FirstMirrorTemperature() const
{
    return !Surface.empty() ? Surface.front().Value : Back.front().Value;
}

double TMeasuredLog::Span() const
{
    double end = 0;
    if (!Surface.empty())
        end = Surface.back().Time;
    if (!Back.empty())
        end = std::max(end, Back.back().Time);
    return end;
}

void Residuals(const TMeasuredLog& log, const std::vector<TStepValues>& reports, std::vector<double>& out)
{
    out.clear();
    for (bool surface : {true, false}) {
        std::size_t cursor = 0;
        for (const TMeasuredPoint& p : surface ? log.Surface : log.Back) {
            double model;
            if (ModelAt(reports, p.Time, surface, cursor, model))
                out.push_back(model - p.Value);
        }
    }
}

void MeasuredMinusModel(const TMeasuredLog& log, const std::vector<TStepValues>& reports,
                        std::vector<TMeasuredPoint>& surfaceOut, std::vector<TMeasuredPoint>& backOut)
{
    for (bool surface : {true, false}) {
        std::vector<TMeasuredPoint>& out = surface ? surfaceOut : backOut;
        out.clear();
        std::size_t cursor = 0;
        for (const TMeasuredPoint& p : surface ? log.Surface : log.Back) {
            double model;
            if (ModelAt(reports, p.Time, surface, cursor, model))
                out.push_back({p.Time, p.Value - model});
        }
    }
}

TLogComparison Compare(const TMeasuredLog& log, const std::vector<TStepValues>& reports)
{
    std::vector<double> r;
    Residuals(log, reports, r);
    TLogComparison c;
    c.Points = r.size();
    double sum = 0;
    for (double d : r) sum += d * d;
    c.Rms = r.empty() ? 0 : std::sqrt(sum / double(r.size()));
    return c;
}

}  // namespace brennic
