#include "app/core/Engine.h"

#include <algorithm>

namespace brennic {

TRunEnd RunEngine(const TRunSpec& spec, const TReportSink& sink, std::stop_token stop, TFilmRanges* films)
{
    TBrennicOneD solver = spec.Solver;
    double last = 0;
    std::size_t reports = 0;
    solver.OnStep = [&](std::span<const double> p, std::span<const double> t, double time) {
        last = time;
        // The initial report comes before any step has computed a coefficient.
        if (films && (reports > 0 || !solver.ComputedFilms)) {
            const bool first = reports == 0 || (solver.ComputedFilms && reports == 1);
            const double used[2] = {solver.FrontFilmUsed, solver.BackFilmUsed};
            for (std::size_t face = 0; face < 2; ++face) {
                TFilmRange& r = (*films)[face];
                r.Min = first ? used[face] : std::min(r.Min, used[face]);
                r.Max = first ? used[face] : std::max(r.Max, used[face]);
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

std::vector<TStepValues> RunValues(const TRunSpec& spec, std::stop_token stop)
{
    std::vector<TStepValues> out;
    out.reserve(static_cast<std::size_t>(spec.Plan.StripWidth > 0 ? spec.Plan.StripWidth : 0));
    RunEngine(
        spec, [&](std::span<const double>, std::span<const double> t, double time) { out.push_back(StepValues(t, time)); },
        stop);
    return out;
}

TRunSpec SolverSpec(const TBrennicOneD& solver, std::shared_ptr<const TMeasuredLog> log)
{
    TRunSpec spec;
    spec.Solver = solver;
    spec.Tolerances = TReadiness::DefaultTolerances;
    spec.Log = std::move(log);
    return spec;
}

std::vector<TStepValues> RunReports(const TBrennicOneD& solver)
{
    return RunValues(SolverSpec(solver));
}

}  // namespace brennic
