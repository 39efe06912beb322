// brennic-sim's options once parsed, the setup they give, and the ways it
// runs: rows, a summary, a workbook, a fit or a sweep.
#pragma once

#include "app/cli/AirOptions.h"
#include "app/cli/LiveMode.h"
#include "app/core/fit/Fit.h"
#include "app/core/inputs/InputFields.h"
#include "app/core/run/Sweep.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace brennic {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What the command line asked for.
struct TOptions {
    std::array<std::string, FieldCount> values;
    std::string material = "Pyrex", output, decimalSep, listSep, tolerances = "1,0.5,0.1";
    bool summary = false, json = false;
    double maxGapHours = DefaultMaxAirGap / 3600;
    TAirFileChoice air;
    TForecastOptions forecast;
    std::string measured, measuredColumns, fit, scenario;
    bool mirrorGiven = false, durationGiven = false;  // by the user, not by default
    // Given on the command line or in the scenario, not left to the model
    // and the air file.
    bool backRadiationGiven = false, siteElevationGiven = false;
    std::vector<std::string> sweeps;
    // Inputs that came from the scenario: the file and each one's line.
    std::string scenarioPath;
    std::map<int, std::size_t> scenarioLines;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    TLiveOptions live;
};

// Everything a run needs, checked; throws UsageError or EBrennicError.
struct TSetup {
    TRequestSource source;  // what every run of this invocation starts from
    TRunRequest request;
    std::vector<TFitParameter> fit;
    std::optional<TSweepPlan> sweep;
    TLiveSettings live;
};

bool WantsWorkbook(const std::string& output);
// Runs the model, streaming the rows (or keeping only the readiness), or
// the workbook, the fit or the sweep the options ask for.
void Execute(const TOptions& o, TSetup& s);

}  // namespace brennic
