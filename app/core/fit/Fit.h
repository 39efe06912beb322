// Fitting the film coefficients (and, if wanted, the starting temperature
// and the front emissivity) so that the model reproduces a measured log.
#pragma once

#include "app/core/run/Engine.h"
#include "app/core/tables/MeasuredLog.h"
#include "model/FiniteDiff_1D.h"

#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace brennic {

// Films: one coefficient for both faces, for a log of a single probe that
// cannot tell the faces apart.
enum class TFitParameter { FrontFilm, BackFilm, MirrorTemp, FrontRadiation, Films };

// Where a parameter lives in the solver; one film coefficient for both
// faces reads as the front's, and is set on both.
double& FitParameterSlot(TBrennicOneD& solver, TFitParameter p);
void SetFitParameter(TBrennicOneD& solver, TFitParameter p, double value);

// "front-film", "back-film", "mirror-temp", "front-radiation", "films".
const char* FitParameterKey(TFitParameter p);
// "W/m2K", "C" or "" (plain), or with the window's signs.
const char* FitParameterUnit(TFitParameter p, bool display);
// A comma-separated list of those keys; throws EBrennicError naming the item.
std::vector<TFitParameter> ParseFitParameters(const std::string& list);

struct TFitResult {
    std::vector<TFitParameter> Parameters;
    std::vector<double> Values;
    std::vector<double> Uncertainties;   // one standard error; infinite when not determined
    std::vector<bool> PoorlyDetermined;  // the log hardly constrains the value
    std::vector<bool> NotDetermined;     // the log does not change with it at all
    std::vector<std::vector<double>> Correlation;  // in the order of Parameters
    int DegreesOfFreedom = 0;
    double NoiseEstimate = 0;            // K, the log's own scatter
    double ResidualAutocorrelation = 0;  // lag 1
    std::vector<std::string> Warnings;
    // Measured minus model at the optimum, per sensor (run time s, K).
    std::vector<TMeasuredPoint> SurfaceResiduals, BackResiduals;
    double RmsBefore = 0, RmsAfter = 0;  // K
    std::size_t Points = 0;
    int Evaluations = 0;  // model runs, the uncertainty's included
    bool Cancelled = false;
};

// Called after every model run with the runs so far and the best RMS;
// returning false cancels the fit.
using TFitProgress = std::function<bool(int evaluations, double bestRms)>;

// Every model run goes through the engine with the request's inputs and its
// measured log (required). Bounds: film coefficients 0 to 500, radiation 0 to 1, starting
// temperature within 30 degC of the first measured value. NLopt's BOBYQA,
// from the current inputs, to a relative change of 1e-6 or 2000 runs.
// A stop request ends it like a cancelling progress callback. Throws
// EBrennicError when the log has fewer points within the run than the
// parameters plus one.
TFitResult FitToLog(const TRunRequest& request, const std::vector<TFitParameter>& params, const TFitProgress& progress = {},
                    std::stop_token stop = {});

}  // namespace brennic
