// Runs kept for comparison with the current one, and how to say in a few
// words what differs between two sets of inputs.
#pragma once

#include "app/core/inputs/FieldUnits.h"

#include "app/core/inputs/InputFields.h"
#include "app/core/tables/AirSource.h"
#include "app/core/results/Readiness.h"
#include "app/core/results/ResultText.h"

#include <optional>
#include <string>
#include <vector>

namespace brennic {

class TRunRecord;

struct TKeptRun {
    TInputTexts Inputs;
    std::vector<TStepValues> Reports;  // at most KeptReportsLimit, evenly thinned, the last kept
    TReadiness Readiness;
    std::string Name;     // given by the user; empty: what differs from the current run
    bool Visible = true;  // drawn on the chart
    // Its own air: a file as chosen and the hash of what was read (none:
    // the ramp of its inputs).
    std::optional<TAirFileChoice> Air;
    std::string AirHash;
    // For air with dates: the local clock at the run's start, in the
    // seconds DateTimeText writes (none: its times are minutes of the run).
    std::optional<double> ClockZero;
};

// The most reports a kept run holds: enough to draw it; its readiness was
// taken from every report.
inline constexpr std::size_t KeptReportsLimit = 20000;
// Every n-th report, the first and the last kept, at most limit of them.
std::vector<TStepValues> Thinned(const std::vector<TStepValues>& reports, std::size_t limit);

// What the kept inputs have that the current ones have not, named as the
// scenario keys name them, with the kept values as typed: "front film 25,
// thickness 25". Numbers are compared by value in the given decimal form.
// A value the reader sees in other units is given in them, with its unit:
// "thickness 1.5 in".
std::string DifferenceLabel(const TInputTexts& kept, const TInputTexts& current, char16_t decimalSeparator,
                            const TDisplayUnits& units = {});

class TKeptRuns {
public:
    static constexpr std::size_t Capacity = 4;

    // Keeps the record's run with its air (as chosen); false (and nothing
    // kept) when all places are taken.
    bool Keep(const TRunRecord& record, std::optional<TAirFileChoice> air = std::nullopt);
    bool Full() const { return runs_.size() >= Capacity; }
    void Clear() { runs_.clear(); }
    const std::vector<TKeptRun>& Runs() const { return runs_; }
    // Keeps a run made elsewhere (a scenario's, recomputed); false when full.
    bool Add(TKeptRun run);
    void Remove(std::size_t i);
    void Rename(std::size_t i, const std::string& name);
    void SetVisible(std::size_t i, bool visible);
    // The run's name, or what differs from the current inputs.
    std::string Label(std::size_t i, const TInputTexts& current, char16_t decimalSeparator,
                      const TDisplayUnits& units = {}) const;

private:
    std::vector<TKeptRun> runs_;
};

}  // namespace brennic
