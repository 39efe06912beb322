// The current run beside the kept ones: what each kept run changed and when
// it was ready, with the difference to the current run ("front film 25:
// -24.3 min").
#pragma once

#include "app/core/run/RunComparison.h"

#include <string>
#include <vector>

namespace brennic {

struct TComparisonTable {
    std::vector<std::string> Header;             // "Run", "Inputs", then one per ready time
    std::vector<std::vector<std::string>> Rows;  // the current run first
};

// Columns: the surface's ready time at each tolerance, then the mirror
// seeing's at each threshold (none when the runs have none). A kept run's
// cell holds its time and its difference to the current run's. currentAir:
// the current run's air file (none: the ramp of its inputs).
TComparisonTable CompareRuns(const TReadiness& current, const TInputTexts& currentInputs,
                             const std::optional<TAirFileChoice>& currentAir, const TKeptRuns& kept,
                             char16_t decimalSeparator, const TDisplayUnits& units = {});

// Tab-separated lines, to paste into a spreadsheet.
std::string ComparisonText(const TComparisonTable& table);

}  // namespace brennic
