#include "app/cli/FitOutput.h"

#include "app/core/results/ResultText.h"

#include <cmath>
#include <cstdio>

namespace brennic {

std::string FitTable(const TFitResult& f, const std::string& logFile)
{
    char line[160];
    std::string out = "Fitted to " + logFile + ": " + std::to_string(f.Points) + " points compared, " +
                      std::to_string(f.Evaluations) + " model runs\n";
    for (std::size_t i = 0; i < f.Parameters.size(); ++i) {
        const bool none = i < f.NotDetermined.size() && f.NotDetermined[i];
        const TUncertainText shown = UncertainText(f.Values[i], f.Uncertainties[i], u'.');
        std::snprintf(line, sizeof line, "  %-16s %10s %-6s +- %-10s%s\n", FitParameterKey(f.Parameters[i]),
                      shown.Value.c_str(), FitParameterUnit(f.Parameters[i], false), shown.Uncertainty.c_str(),
                      none                      ? "  (not determined by this log)"
                      : f.PoorlyDetermined[i] ? "  (poorly determined by this log)"
                                              : "");
        out += line;
    }
    for (std::size_t i = 0; i < f.Correlation.size(); ++i)
        for (std::size_t j = i + 1; j < f.Correlation.size(); ++j) {
            out += std::string("  correlation ") + FitParameterKey(f.Parameters[i]) + " / " +
                   FitParameterKey(f.Parameters[j]) + ": " + FixedText(f.Correlation[i][j], 2, u'.') + "\n";
        }
    out += "RMS difference: " + SignificantText(f.RmsBefore, 4, u'.') + " K before, " +
           SignificantText(f.RmsAfter, 4, u'.') + " K after\n";
    out += "Degrees of freedom " + std::to_string(f.DegreesOfFreedom) + "; sensor noise about " +
           SignificantText(f.NoiseEstimate, 3, u'.') + " K; residual lag-1 autocorrelation " +
           FixedText(f.ResidualAutocorrelation, 2, u'.') + "\n";
    for (const std::string& w : f.Warnings) out += "Warning: " + w + "\n";
    return out;
}

}  // namespace brennic
