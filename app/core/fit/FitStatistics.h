// What a fit's numbers are worth: standard errors and correlations from the
// Jacobian at the optimum, the log's own noise, whether the residuals are
// systematic, and the warnings that follow.
#pragma once

#include "app/core/tables/MeasuredLog.h"

#include <cstddef>
#include <string>
#include <vector>

namespace brennic {

// Poorly determined: a standard error of half the value (a film coefficient
// or an emissivity), 1 K (a temperature), or a correlation this strong.
inline constexpr double PoorRelativeError = 0.5;
inline constexpr double PoorTemperatureError = 1.0;  // K
inline constexpr double StrongCorrelation = 0.95;
// The model does not describe a log whose fitted RMS exceeds its noise this
// many times with residuals correlated this much from one point to the next.
inline constexpr double MisfitNoiseFactor = 3;
inline constexpr double SystematicAutocorrelation = 0.5;

struct TFitStatistics {
    std::vector<double> Errors;  // one standard error per parameter; +inf when not determined
    std::vector<bool> NotDetermined, Poorly;
    std::vector<std::vector<double>> Correlation;
    int DegreesOfFreedom = 0;
    double NoiseEstimate = 0;            // K
    double ResidualAutocorrelation = 0;  // lag 1
    std::vector<std::string> Warnings;
};

// jacobian[i][k]: the change of residual k per unit of scaled parameter i
// (the parameter divided by scales[i]); residuals: model minus measurement,
// the first surfacePoints of them the surface's. temperature[i]: whether
// parameter i is a temperature (else a coefficient or an emissivity);
// names[i] its name in warnings.
TFitStatistics FitStatistics(const std::vector<double>& values, const std::vector<double>& scales,
                             const std::vector<std::vector<double>>& jacobian, const std::vector<double>& residuals,
                             std::size_t surfacePoints, const std::vector<bool>& temperature,
                             const std::vector<std::string>& names, const TMeasuredLog& log);

// The sensor noise of a log from its second differences: for white noise
// of deviation s, y[i+1] - 2 y[i] + y[i-1] has deviation s * sqrt(6). The
// median absolute value, scaled to a deviation, keeps a smooth curve's
// curvature and single outliers out of it.
double LogNoiseEstimate(const TMeasuredLog& log);

// Correlation of each residual with the next within the same series.
double Lag1Autocorrelation(const std::vector<double>& residuals, std::size_t surfacePoints);

}  // namespace brennic
