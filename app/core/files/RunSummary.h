// What the command line prints with --summary: the readiness, and for a run
// driven by an air file, where the file ends and when dew threatens.
#pragma once

#include "app/core/results/DisplayUnits.h"

#include "app/core/tables/MeasuredLog.h"
#include "app/core/run/RunRecord.h"

#include <optional>
#include <string>
#include <vector>

namespace brennic {

std::string SummaryText(const TRunRecord& record, char16_t decimalSeparator);
// One JSON object: the readiness's, with "dew_risk_minutes", the mirror
// seeing's readiness, the film coefficients' ranges (when computed) and,
// given a comparison with a measured log, its RMS and points.
std::string SummaryJson(const TRunRecord& record, const std::optional<TLogComparison>& measured = std::nullopt);
// The lines the summary and the readout add: mirror seeing per threshold,
// and the film coefficients' ranges when they come from the conditions;
// plain ASCII for the command line, or with the window's signs, times and
// temperature unit.
std::vector<std::string> ConditionLines(const TRunRecord& record, char16_t decimalSeparator, bool display,
                                        TTemperatureUnit unit = TTemperatureUnit::Celsius);
// The lines the readout adds for an air file (empty for the ramp).
std::vector<std::string> RunNotes(const TRunRecord& record, char16_t decimalSeparator);

}  // namespace brennic
