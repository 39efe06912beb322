// Fitting the film coefficients (and, if wanted, the starting temperature
// and the front emissivity) so that the model reproduces a measured log.
#pragma once

#include "app/core/Engine.h"
#include "app/core/MeasuredLog.h"
#include "model/FiniteDiff_1D.h"

#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace brennic {

enum class TFitParameter { FrontFilm, BackFilm, MirrorTemp, FrontRadiation };

// "front-film", "back-film", "mirror-temp", "front-radiation".
const char* FitParameterKey(TFitParameter p);
// A comma-separated list of those keys; throws EBrennicError naming the item.
std::vector<TFitParameter> ParseFitParameters(const std::string& list);

struct TFitResult {
    std::vector<TFitParameter> Parameters;
    std::vector<double> Values;
    std::vector<double> Uncertainties;   // one standard deviation; infinite when not determined
    std::vector<bool> PoorlyDetermined;  // the log hardly constrains the value
    double RmsBefore = 0, RmsAfter = 0;  // K
    std::size_t Points = 0;
    int Evaluations = 0;  // model runs, the uncertainty's included
    bool Cancelled = false;
};

// Called after every model run with the runs so far and the best RMS;
// returning false cancels the fit.
using TFitProgress = std::function<bool(int evaluations, double bestRms)>;

// Every model run goes through the engine with the spec's inputs and its
// measured log (required). Bounds: film coefficients 0 to 500, radiation 0 to 1, starting
// temperature within 30 degC of the first measured value. NLopt's BOBYQA,
// from the current inputs, to a relative change of 1e-6 or 2000 runs.
// A stop request ends it like a cancelling progress callback.
TFitResult FitToLog(const TRunSpec& spec, const std::vector<TFitParameter>& params, const TFitProgress& progress = {},
                    std::stop_token stop = {});

}  // namespace brennic
