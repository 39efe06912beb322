#include "app/core/Engine.h"

namespace brennic {

TRunEnd RunEngine(const TRunSpec& spec, const TReportSink& sink, std::stop_token stop)
{
    TBrennicOneD solver = spec.Solver;
    double last = 0;
    solver.OnStep = [&](std::span<const double> p, std::span<const double> t, double time) {
        last = time;
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
