// The live prediction: the model fitted to what the mirror's sensors have
// reported so far, run over the whole night, and when it will be ready,
// with a 90 % interval from the fit's covariance.
#pragma once

#include "app/core/fit/Fit.h"
#include "app/core/live/LiveTable.h"

#include <array>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace brennic {

// The two-sided 90 % point of the normal distribution.
inline constexpr double Interval90 = 1.645;
// Without air ahead, the air holds the mean of the last hour of data.
inline constexpr double HeldAirWindow = 3600;  // s
// ... reached this long after the last reading.
inline constexpr double HeldAirRamp = 600;     // s
// Without air ahead and without a horizon given, the prediction looks this
// far beyond the data.
inline constexpr double DefaultHorizon = 6 * 3600;  // s

struct TLiveSettings {
    TRequestSource Base;  // the inputs as given (no air, no log): the conditions
    std::vector<std::string> ToleranceTexts;  // the keys, as given
    // The air after the data: an air file or forecast with clock times.
    std::shared_ptr<const TAirSource> Ahead;
    std::optional<double> Horizon;  // s beyond the last reading, when given
    // The front air speed from a weather station's wind (with the films from
    // the conditions): the mean of the last WindWindow of data.
    bool WindFromSource = false;
};

inline constexpr double WindWindow = 600;  // s

// When a part (or the seeing) is ready: times on the UTC clock; Low/High
// only when the fit determines them.
struct TReadyEstimate {
    std::optional<double> At, Low, High;
};

struct TLiveUpdate {
    double DataTime = 0;        // the last reading, UTC s
    double MinutesOfData = 0;
    std::optional<double> Air, Surface, Back;  // the last readings
    bool FromFit = false;       // else from the conditions
    std::optional<TFitResult> Fit;
    std::vector<double> Tolerances;
    std::vector<std::string> ToleranceTexts, SeeingTexts;
    std::array<std::vector<TReadyEstimate>, 3> Ready;  // surface, back, glass; per tolerance
    std::vector<TReadyEstimate> Seeing;                // per threshold
    std::vector<std::string> Notes, Warnings;
    double RunStart = 0, RunEnd = 0;  // UTC s
    // The predicted run for a chart: times (UTC s), the air, surface and
    // back, and the 90 % band of the surface where the fit gives one.
    std::vector<double> Times, AirCurve, SurfaceCurve, BackCurve, SurfaceLow, SurfaceHigh;
};

// One update from the readings so far. Throws ETableError when the
// readings cannot be read as a log yet (too few, implausible), and
// EBrennicError when the inputs cannot give a run (no air at all).
TLiveUpdate PredictLive(const TLiveTable& data, const TLiveSettings& settings, std::stop_token stop = {});

// The standard error of a function of the fitted parameters from its
// derivatives g and the parameters' standard errors and correlations:
// sqrt(g^T C g); NaN when an input is not finite.
double PropagatedError(const std::vector<double>& g, const std::vector<double>& errors,
                       const std::vector<std::vector<double>>& correlation);

}  // namespace brennic
