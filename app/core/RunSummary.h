// What the command line prints with --summary: the readiness, and for a run
// driven by an air file, where the file ends and when dew threatens.
#pragma once

#include "app/core/RunRecord.h"

#include <string>

namespace brennic {

std::string SummaryText(const TRunRecord& record, char16_t decimalSeparator);
// One JSON object: the readiness's, with "dew_risk_minutes" added.
std::string SummaryJson(const TRunRecord& record);
// The lines the readout adds for an air file (empty for the ramp).
std::vector<std::string> AirNotes(const TRunRecord& record, char16_t decimalSeparator);

}  // namespace brennic
