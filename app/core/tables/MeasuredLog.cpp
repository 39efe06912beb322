#include "app/core/tables/MeasuredLog.h"

#include "app/core/results/OutputColumns.h"

#include <cmath>

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
    std::size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const std::size_t end = text.find(',', start);
        const std::string item = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::size_t eq = item.find('=');
        const std::string role = item.substr(0, eq), name = eq == std::string::npos ? "" : item.substr(eq + 1);
        std::string* slot = role == "time"      ? &c.Time
                            : role == "air"     ? &c.Air
                            : role == "surface" ? &c.Surface
                            : role == "back"    ? &c.Back
                                                : nullptr;
        if (!slot || name.empty())
            throw EBrennicError("\"--measured-columns\" has '" + item +
                                "': expected time=NAME, air=NAME, surface=NAME or back=NAME");
        *slot = name;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return c;
}

std::shared_ptr<const TMeasuredLog> TMeasuredLog::Load(const std::string& path, const TLogColumns& columns,
                                                       const std::string& start)
{
    auto log = std::make_shared<TMeasuredLog>();
    log->File = path;
    auto air = std::make_shared<TAirSource>();
    TTableOptions options;
    options.TimeColumn = columns.Time;
    air->Table = ReadTimeTable(path, options);
    TTimeTable& t = air->Table;
    air->Notes = t.Notes;
    if (t.Times.size() < 2)
        Refuse(path, "a log needs at least two rows");
    air->Start = RunStart(t, start);
    if (t.Times.back() < air->Start)
        Refuse(path, "the whole log lies before the start");
    const int surface = Role(t, columns.Surface, OutputColumns[oSurface].Name, false, "surface");
    const int back = Role(t, columns.Back, OutputColumns[oBack].Name, false, "back");
    if (surface <= 0 && back <= 0)
        Refuse(path, "a surface or a back column is needed (named T_Surface and T_Back, or chosen)");
    const int airColumn = Role(t, columns.Air, OutputColumns[oAir].Name, false, "air");
    for (int c : {surface, back, airColumn})
        if (c > 0)
            CheckTemperatureColumn(t, c);
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
