// Parameter sweeps: the cross product of several inputs' values, each case a
// run of the engine from the same starting inputs, and a row of what each
// case's readiness says.
#pragma once

#include "app/core/results/Readiness.h"
#include "app/core/inputs/RunRequest.h"

#include <cstddef>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace brennic {

inline constexpr std::size_t MaxSweepCases = 100000;
// The key that sweeps the glass (by name or index) rather than a number.
inline constexpr const char* MaterialKey = "material";

// One swept input: its key (an option without "--"), the input field (or
// -1 for the material) and its values as texts ("." decimals; materials by
// their index).
struct TSweepAxis {
    std::string Key;
    int Field = -1;
    std::vector<std::string> Values;
};

// "KEY=V1,V2,..." or "KEY=FROM:TO:STEP" (TO included when on the grid).
// Throws EBrennicError naming --sweep, the key and the value.
TSweepAxis ParseSweep(const std::string& text);

// The checked cases: every one builds a run request. Throws EBrennicError naming
// the key and value of the first case that does not. Checking a large sweep
// takes a while: progress(checked) follows it, and a stop request ends it
// with a plan of no cases.
struct TSweepPlan {
    TRequestSource Base;
    std::vector<TSweepAxis> Axes;
    std::size_t Cases = 0;
};
TSweepPlan PlanSweep(const TRequestSource& base, std::vector<TSweepAxis> axes, std::stop_token stop = {},
                     const std::function<void(std::size_t checked)>& progress = {});
// The number of cases of these axes, before any is checked (at most one more
// than MaxSweepCases).
std::size_t SweepCaseCount(const std::vector<TSweepAxis>& axes);

// Each axis's value index for a case; the first axis changes slowest.
std::vector<std::size_t> SweepCaseIndices(const TSweepPlan& plan, std::size_t index);
// The source of one case.
TRequestSource SweepCaseSource(const TSweepPlan& plan, std::size_t index);

// Runs every case on `jobs` threads; the results are in case order and the
// same for every number of jobs. progress(done) is called from the workers.
// A stop request leaves the cases not yet run without readiness (Reports 0).
// When the system starts fewer threads than asked, the sweep runs on those
// it started and note() is told so once, before the first case ends.
std::vector<TReadiness> RunSweep(const TSweepPlan& plan, unsigned jobs, std::stop_token stop = {},
                                 const std::function<void(std::size_t done)>& progress = {},
                                 const std::function<void(const std::string&)>& note = {});
// The note for `started` threads of `asked`.
std::string SweepThreadsNote(unsigned asked, unsigned started);

// The result table: comma-separated, "." decimals, whatever the locale.
std::string SweepCsvHeader(const TSweepPlan& plan);
std::string SweepCsvRow(const TSweepPlan& plan, std::size_t index, const TReadiness& r);
// A JSON array of one object per case.
std::string SweepJson(const TSweepPlan& plan, const std::vector<TReadiness>& results);
// A case's value of an axis as written in the table (a material by name).
std::string SweepValueText(const TSweepAxis& axis, std::size_t value);

// Minutes (shortest round-trip form) or nothing for "not reached".
std::string SweepNumber(double v);

}  // namespace brennic
