// The one entry point that runs a request: it drives the solver, hands every
// report to a sink and stops when asked. The window (on its worker), the
// command line, the fit and sweeps all run through here.
#pragma once

#include "app/core/run/RunComparison.h"
#include "app/core/inputs/RunRequest.h"

#include <functional>
#include <span>
#include <stop_token>

namespace brennic {

// Receives each report: positions (m) and temperatures (degC) of the air
// nodes and the elements, valid for the call only, and the time (s).
using TReportSink =
    std::function<void(std::span<const double> positions, std::span<const double> temperatures, double time)>;

enum class TRunEnd { Completed, Stopped };

// Runs the request to its end, or to the report after which a stop was
// requested. Throws EBrennicError when the temperatures leave the range.
// With films, the range of the film coefficients over the steps computed.
TRunEnd RunEngine(const TRunRequest& request, const TReportSink& sink, std::stop_token stop = {},
                  TFilmRanges* films = nullptr);

// The reports' values of a whole run (for comparisons and fits).
std::vector<TStepValues> RunValues(const TRunRequest& request, std::stop_token stop = {});
// A request of a solver as it stands (its air functions set), with a log to
// compare with; planning is left to the caller.
TRunRequest SolverRequest(const TBrennicOneD& solver, std::shared_ptr<const TMeasuredLog> log = {});
// A kept run computed again from its request (a scenario's kept run);
// throws EBrennicError when stopped.
TKeptRun RunKept(const TRunRequest& request, std::string name, std::stop_token stop = {});
// The reports' values for a solver as it stands, with no air file or log.
std::vector<TStepValues> RunReports(const TBrennicOneD& solver);

}  // namespace brennic
