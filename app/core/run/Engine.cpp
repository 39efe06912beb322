#include "app/core/run/Engine.h"

#include "app/core/run/Headline.h"
#include "app/core/run/RunRecord.h"

#include <algorithm>
#include <cmath>

namespace brennic {

TRunEnd RunEngine(const TRunRequest& request, const TReportSink& sink, std::stop_token stop, TFilmRanges* films)
{
    TBrennicOneD solver = request.Solver;
    double last = 0;
    std::size_t reports = 0;
    solver.OnStep = [&](std::span<const double> p, std::span<const double> t, double time) {
        last = time;
        // The initial report comes before any step has computed a coefficient.
        if (films && (reports > 0 || !solver.ComputedFilms)) {
            const bool first = reports == 0 || (solver.ComputedFilms && reports == 1);
            const double used[3] = {solver.FrontFilmUsed, solver.BackFilmUsed, solver.EdgeFilmUsed};
            for (std::size_t face = 0; face < 3; ++face) {
                // The rim's coefficient exists from the first step on.
                if (face == 2 && reports == 0)
                    continue;
                TFilmRange& r = (*films)[face];
                const bool start = face == 2 ? reports == 1 : first;
                r.Min = start ? used[face] : std::min(r.Min, used[face]);
                r.Max = start ? used[face] : std::max(r.Max, used[face]);
            }
        }
        ++reports;
        if (sink)
            sink(p, t, time);
        if (stop.stop_requested())
            solver.Cancel();
    };
    solver.Execute();
    return last < solver.Duration ? TRunEnd::Stopped : TRunEnd::Completed;
}

std::vector<TStepValues> RunValues(const TRunRequest& request, std::stop_token stop)
{
    std::vector<TStepValues> out;
    out.reserve(static_cast<std::size_t>(request.Plan.StripWidth > 0 ? request.Plan.StripWidth : 0));
    RunEngine(
        request, [&](std::span<const double>, std::span<const double> t, double time) { out.push_back(StepValues(t, time)); },
        stop);
    return out;
}

TRunRequest SolverRequest(const TBrennicOneD& solver, std::shared_ptr<const TMeasuredLog> log)
{
    TRunRequest request;
    request.Solver = solver;
    request.Tolerances = DefaultTolerances;
    request.Log = std::move(log);
    return request;
}

std::vector<TStepValues> RunReports(const TBrennicOneD& solver)
{
    return RunValues(SolverRequest(solver));
}

TKeptRun RunKept(const TRunRequest& request, std::string name, std::stop_token stop)
{
    // The readiness from every report; of the reports only as many as a
    // kept run holds, so that a long run needs no more memory than a short one.
    TRunRecord record;
    record.StartWithoutRows(request);
    const double reports = ReportCount(request.Solver.Duration, request.Solver.TimeStep);
    const std::size_t stride = std::size_t(std::ceil(reports / double(KeptReportsLimit)));
    std::vector<TStepValues> kept;
    std::size_t index = 0;
    TStepValues last{};
    const TRunEnd end = RunEngine(
        request,
        [&](std::span<const double> p, std::span<const double> t, double time) {
            record.Add(p, t, time);
            last = StepValues(t, time);
            if (index++ % stride == 0)
                kept.push_back(last);
        },
        stop);
    if (end == TRunEnd::Stopped)
        throw EBrennicError("stopped");
    if (!kept.empty() && kept.back().Time != last.Time)
        kept.push_back(last);
    TKeptRun run{record.Inputs, std::move(kept), record.Readiness, std::move(name), true, {}, {}};
    run.ClockZero = LocalClockZero(record);
    if (request.Air) {
        run.AirHash = request.Air->Table.ContentHash;
    }
    return run;
}

}  // namespace brennic
