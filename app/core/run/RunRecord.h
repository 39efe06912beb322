// Everything one run produces that is not a widget: the result lines, the
// reported values, the last profile, the strip and the readiness. The
// solver's step event feeds it; the window's views read it once per frame,
// and the command line streams its rows from it.
#pragma once

#include "app/core/tables/AirSource.h"
#include "app/core/results/ByteMap.h"
#include "app/core/results/Decimator.h"
#include "app/core/inputs/InputFields.h"
#include "app/core/results/Readiness.h"
#include "app/core/results/ResultText.h"
#include "app/core/inputs/RunSetup.h"
#include "app/core/inputs/RunRequest.h"
#include "model/FiniteDiff_1D.h"
#include "support/EnhStringList.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brennic {

// A strip column written since the views last looked; Old holds the column's
// previous indices when it had been written before in this run (else all 0).
struct TStripChange {
    std::int32_t Column;
    std::vector<std::uint8_t> Old;
};

// The temperatures of the elements at one report, front to back, for the
// profile at any time of the run.
struct TProfileSnapshot {
    double Time;  // s
    std::vector<double> Temperatures;
};

// At most this many profiles are kept: every report's, or every n-th.
inline constexpr std::size_t MaxProfileSnapshots = 2000;

// Reports made on a worker thread, ready to be taken into a record: the
// values, the result rows, the strip columns (one index per element) and
// the last report's positions and temperatures, for the profile.
struct TRecordChunk {
    std::vector<TStepValues> Values;
    std::vector<std::u16string> Rows;
    std::vector<std::uint8_t> Columns;  // Values.size() columns of Elements indices
    std::size_t Elements = 0;
    std::vector<double> LastPositions, LastTemperatures;
    std::vector<TProfileSnapshot> Snapshots;  // of every n-th report
    bool Empty() const { return Values.empty(); }
};

// Collects a worker's reports; the window takes them once per display frame.
// Add and Take may be called from different threads.
class TChunkQueue {
public:
    explicit TChunkQueue(TRegionalSettings settings = {}) : settings_(settings) {}
    // snapshotStride: a profile is kept of every n-th report.
    void Reset(const TRegionalSettings& settings, std::size_t snapshotStride = 1);
    void Add(std::span<const double> positions, std::span<const double> temperatures, double time);
    TRecordChunk Take();

private:
    std::mutex mutex_;
    TRegionalSettings settings_;
    TRecordChunk pending_;
    std::size_t stride_ = 1, added_ = 0;
    std::u16string row_;
    std::vector<std::uint8_t> column_;
};

class TRunRecord {
public:
    // Where rows go instead of being kept (the command line): each row
    // without its line end. Nothing per report is kept then but the readiness.
    using TRowSink = std::function<void(const std::u16string& line)>;

    // A new run: everything of the last one goes, the header is the first line.
    void Start(const TBrennicOneD& solver, const TRunPlan& plan, const TInputTexts& inputs,
               const TRegionalSettings& settings, const std::vector<double>& tolerances, TRowSink sink = {},
               std::shared_ptr<const TAirSource> air = {});
    // The same for a run request.
    void Start(const TRunRequest& request, TRowSink sink = {});
    // A run of which only the readiness is wanted (a summary): no row is
    // made, none is kept.
    void StartWithoutRows(const TRunRequest& request);
    // One report of the solver.
    void Add(std::span<const double> positions, std::span<const double> temperatures, double time);
    // Reports made elsewhere, in their order.
    void Apply(const TRecordChunk& chunk);

    TEnhStringList Lines;              // header and one row per report (when kept)
    TByteMap Strip;                    // palette index per step and element
    std::vector<TStepValues> Reports;  // when kept
    std::vector<TPoint> Profile;       // (mm, degC) of the last report, front to back
    std::vector<TProfileSnapshot> Snapshots;  // of every SnapshotStride-th report
    std::vector<double> ProfilePositions;     // mm, of the elements
    std::size_t SnapshotStride = 1;
    // The profile (mm, degC) of a snapshot.
    std::vector<TPoint> SnapshotProfile(std::size_t i) const;
    std::u16string ProfileTitle;       // "Temperature Profile - Time <t> sec"
    TReadiness Readiness;
    TInputTexts Inputs;                     // as typed for this run
    std::shared_ptr<const TAirSource> Air;  // the air file, if the run used one
    std::shared_ptr<const TMeasuredLog> Log;  // the measured log compared with, if any
    std::optional<double> DewRiskFrom;      // s: the first report with the surface below the dew point
    // The dew point over the run (°C at s): the air file's, else the one
    // typed for a clear sky; empty when neither is known.
    std::function<double(double)> DewPointAt;
    TRunPlan Plan;
    std::vector<std::string> SeeingTexts;  // the thresholds as typed
    // The film coefficients' range over the run, when they vary (FilmsVary).
    std::optional<TFilmRanges> Films;
    bool ComputedFilms = false, EdgeInModel = false;
    double FrontRadiation = 0;
    TModelChoice Model;              // the radiation model in use and why
    std::vector<std::string> Notes;  // how the inputs were completed or stretched
    double TimeStep = 0;
    double Duration = 0;
    std::uint64_t Version = 0;  // changes with every start and report, for views to notice

    // Strip columns written since the last call, for a view to catch up.
    std::vector<TStripChange> TakeStripChanges();

private:
    void Commit(const TStepValues& v, const std::u16string& row, const std::uint8_t* column, std::size_t elements);
    void SetProfile(std::span<const double> positions, std::span<const double> temperatures, double time);

    TRegionalSettings settings_;
    TRowSink sink_;
    bool dropRows_ = false;
    std::u16string row_;
    std::vector<std::uint8_t> column_;
    std::vector<TStripChange> stripChanges_;
};

}  // namespace brennic
