// A set-up kept in a small text file: one "key = value" line per input
// (the command line's option names without their dashes), numbers with "."
// whatever the locale, an air file or a measured log by a path relative to
// the scenario, "#" for comments.
#pragma once

#include "app/core/tables/AirSource.h"
#include "app/core/inputs/InputFields.h"
#include "app/core/tables/MeasuredLog.h"

#include <map>
#include <optional>
#include <vector>
#include <string>

namespace brennic {

// A kept run as a scenario holds it: its name and its inputs (what is not
// given is the scenario's own); its results are computed again on opening.
struct TScenarioKeptRun {
    std::string Name;
    TInputTexts Inputs;  // numbers with "."
    // Its own air (none: the ramp), the hash of the file it was computed
    // with, and its reports as saved (thinned), to show it when that file is
    // gone or changed.
    std::optional<TAirFileChoice> Air;
    std::string AirHash;
    std::vector<TStepValues> Saved;
    // Its air was the ramp of its inputs ("air = ramp"); without either, as
    // scenarios once had it, the scenario's own air.
    bool Ramp = false;
};

// The most reports of a kept run a scenario holds.
inline constexpr std::size_t ScenarioKeptReports = 400;

struct TScenario {
    TInputTexts Inputs;                 // numbers with "."
    std::vector<TScenarioKeptRun> Kept;  // at most TKeptRuns::Capacity
    std::optional<TAirFileChoice> Air;  // absolute paths once read
    std::optional<std::string> Measured;
    TLogColumns MeasuredColumns;
    std::string MeasuredStart;
    std::string Path;                               // the file read
    std::map<std::string, std::size_t> KeyLines;  // the line of each key read
};

// Reads a scenario; throws EBrennicError naming the file, the line and the
// key: an unknown or repeated key, a value that is not a number (or not a
// material), a referenced file that does not exist.
TScenario ReadScenario(const std::string& path);

// The scenario's text; paths are written relative to the scenario's folder.
std::string ScenarioText(const TScenario& scenario, const std::string& scenarioPath);

// Writes atomically.
void WriteScenario(const TScenario& scenario, const std::string& path);

// Texts with another decimal separator ("." in files, the locale's in the window).
TInputTexts WithDecimalSeparator(const TInputTexts& texts, char16_t from, char16_t to);

}  // namespace brennic
