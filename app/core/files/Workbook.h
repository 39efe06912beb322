// A spreadsheet workbook of a run: its results as numbers, its inputs with
// their units, its readiness, and a chart of the four curves.
#pragma once

#include "app/core/fit/Fit.h"
#include "app/core/run/RunComparison.h"
#include "app/core/run/RunRecord.h"

#include <optional>
#include <string>
#include <vector>

namespace brennic {

struct TWorkbookContent {
    std::vector<TStepValues> Reports;
    TInputTexts Inputs;     // numbers with "."
    std::string AirSource;  // "linear ramp" or the file
    TReadiness Readiness;
    std::vector<TKeptRun> Kept;
    std::vector<std::string> KeptLabels;
    std::vector<std::string> Notes;
    std::string Version;
    std::string Headline;  // the run's answer as the window says it
    // The local clock at the run's time 0 (s since 1970 on that clock) when
    // the air has dates: the results get a column of local date-times.
    std::optional<double> ClockZero;
    // A fit to the measured log whose values the inputs took.
    std::optional<TFitResult> Fit;
    // A measured log compared with the run: the RMS difference and the points.
    std::optional<TLogComparison> Measured;
};

// The most result rows a sheet takes (Excel's limit, less the header).
inline constexpr std::size_t MaxWorkbookRows = 1'048'575;

// Writes the workbook atomically: an existing file stays as it was on any
// failure. Throws EFCreateError, EWriteError or EBrennicError.
void WriteWorkbook(const std::string& path, const TWorkbookContent& content);

// The content of a finished run kept by the record.
TWorkbookContent WorkbookContent(const TRunRecord& record, const TKeptRuns* kept, const std::string& version);

}  // namespace brennic
