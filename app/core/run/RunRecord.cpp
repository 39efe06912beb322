#include "app/core/run/RunRecord.h"

#include "app/core/results/StripPalette.h"
#include "support/NumberText.h"

#include <algorithm>
#include <cmath>

namespace brennic {

void TRunRecord::Start(const TBrennicOneD& solver, const TRunPlan& plan, const TInputTexts& inputs,
                       const TRegionalSettings& settings, const std::vector<double>& tolerances, TRowSink sink,
                       std::shared_ptr<const TAirSource> air)
{
    Air = std::move(air);
    if (Air && Air->Dew)
        DewPointAt = [air = Air](double t) { return air->Dew->At(t); };
    else
        DewPointAt = solver.ClearSkyDewPoint;
    Log.reset();
    DewRiskFrom.reset();
    SeeingTexts.clear();
    Films.reset();
    ComputedFilms = EdgeInModel = false;
    FrontRadiation = 0;
    Model = {};
    Notes.clear();
    settings_ = settings;
    sink_ = std::move(sink);
    dropRows_ = false;
    ++Version;
    Inputs = inputs;
    Plan = plan;
    TimeStep = solver.TimeStep;
    Duration = solver.Duration;
    Reports.clear();
    Profile.clear();
    ProfileTitle.clear();
    Snapshots.clear();
    ProfilePositions.clear();
    SnapshotStride = std::max<std::size_t>(1, (std::size_t(std::max(plan.StripWidth, 0)) + MaxProfileSnapshots - 1) /
                                                  MaxProfileSnapshots);
    stripChanges_.clear();
    Readiness = TReadiness(tolerances);
    Lines.Clear();
    const std::u16string header = ResultHeader(settings_);
    if (sink_) {
        sink_(header);
        Strip.SetSize(0, 0);
        return;
    }
    Lines.Add(header);
    Strip.SetSize(plan.StripWidth, plan.StripHeight);  // every cell "not yet computed"
}

void TRunRecord::Start(const TRunRequest& request, TRowSink sink)
{
    Start(request.Solver, request.Plan, request.Texts, request.Settings, request.Tolerances, std::move(sink), request.Air);
    Readiness.SetSeeing(request.Seeing);
    SeeingTexts = request.SeeingTexts;
    ComputedFilms = request.Solver.ComputedFilms;
    EdgeInModel = request.Solver.EdgeInModel();
    FrontRadiation = request.Solver.FrontRadiation;
    Model = request.Model;
    Notes = request.Notes;
    Log = request.Log;
}

void TRunRecord::StartWithoutRows(const TRunRequest& request)
{
    Start(request, [](const std::u16string&) {});
    dropRows_ = true;
}

namespace {

// The strip's palette indices of one report, element by element.
void StripIndices(std::span<const double> temperatures, double air, std::vector<std::uint8_t>& out)
{
    const std::size_t n = temperatures.size() - 2;
    out.resize(n);
    for (std::size_t k = 1; k <= n; ++k) out[k - 1] = StripColorIndex(std::fabs(temperatures[k] - air) / 6);
}

}  // namespace

void TRunRecord::Add(std::span<const double> positions, std::span<const double> temperatures, double time)
{
    const TStepValues v = StepValues(temperatures, time);
    row_.clear();
    if (!dropRows_)
        AppendResultRow(row_, v, settings_);
    if (sink_) {
        Commit(v, row_, nullptr, 0);
        return;
    }
    StripIndices(temperatures, v.Air, column_);
    Commit(v, row_, column_.data(), column_.size());
    SetProfile(positions, temperatures, time);
    if ((Readiness.Reports() - 1) % SnapshotStride == 0)
        Snapshots.push_back({time, {temperatures.begin() + 1, temperatures.end() - 1}});
}

std::vector<TPoint> TRunRecord::SnapshotProfile(std::size_t i) const
{
    const TProfileSnapshot& s = Snapshots.at(i);
    std::vector<TPoint> points(std::min(s.Temperatures.size(), ProfilePositions.size()));
    for (std::size_t k = 0; k < points.size(); ++k) points[k] = {ProfilePositions[k], s.Temperatures[k]};
    return points;
}

void TRunRecord::Apply(const TRecordChunk& chunk)
{
    for (std::size_t i = 0; i < chunk.Values.size(); ++i)
        Commit(chunk.Values[i], chunk.Rows[i], chunk.Columns.data() + i * chunk.Elements, chunk.Elements);
    if (!chunk.Empty() && !sink_) {
        SetProfile(chunk.LastPositions, chunk.LastTemperatures, chunk.Values.back().Time);
        Snapshots.insert(Snapshots.end(), chunk.Snapshots.begin(), chunk.Snapshots.end());
    }
}

void TRunRecord::Commit(const TStepValues& v, const std::u16string& row, const std::uint8_t* column,
                        std::size_t elements)
{
    ++Version;
    Readiness.Add(v);
    if (!DewRiskFrom && DewPointAt && v.Surface < DewPointAt(v.Time))
        DewRiskFrom = v.Time;
    if (sink_) {
        if (!dropRows_)
            sink_(row);
        return;
    }
    Reports.push_back(v);
    Lines.Add(row);

    // One strip column per report, in the order of the reports.
    const std::int64_t index = static_cast<std::int64_t>(Readiness.Reports()) - 1;
    if (!Strip.Contains(index, 0))
        return;
    const auto c = static_cast<std::int32_t>(index);
    TStripChange change{c, {}};
    for (std::size_t k = 0; k < elements; ++k) {
        const auto row = static_cast<std::int32_t>(k);
        const std::uint8_t old = Strip.Value(c, row);
        if (old != 0 && change.Old.empty())
            change.Old.assign(elements, 0);
        if (!change.Old.empty())
            change.Old[k] = old;
        Strip.SetValue(c, row, column[k]);
    }
    stripChanges_.push_back(std::move(change));
}

void TRunRecord::SetProfile(std::span<const double> positions, std::span<const double> temperatures, double time)
{
    ProfileTitle = u"Temperature Profile - Time ";
    AppendFloat(ProfileTitle, time, settings_.DecimalSeparator);
    ProfileTitle += u" sec";
    const std::size_t n = temperatures.size() - 2;
    Profile.resize(n);
    for (std::size_t k = 1; k <= n; ++k) Profile[k - 1] = {positions[k] * 1000, temperatures[k]};
    if (ProfilePositions.size() != n) {
        ProfilePositions.resize(n);
        for (std::size_t k = 1; k <= n; ++k) ProfilePositions[k - 1] = positions[k] * 1000;
    }
}

void TChunkQueue::Reset(const TRegionalSettings& settings, std::size_t snapshotStride)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    settings_ = settings;
    pending_ = {};
    stride_ = std::max<std::size_t>(snapshotStride, 1);
    added_ = 0;
}

void TChunkQueue::Add(std::span<const double> positions, std::span<const double> temperatures, double time)
{
    // The row and the strip column are made before the lock is taken.
    const TStepValues v = StepValues(temperatures, time);
    row_.clear();
    AppendResultRow(row_, v, settings_);
    StripIndices(temperatures, v.Air, column_);
    const std::lock_guard<std::mutex> lock(mutex_);
    pending_.Elements = column_.size();
    pending_.Values.push_back(v);
    pending_.Rows.push_back(row_);
    pending_.Columns.insert(pending_.Columns.end(), column_.begin(), column_.end());
    pending_.LastPositions.assign(positions.begin(), positions.end());
    pending_.LastTemperatures.assign(temperatures.begin(), temperatures.end());
    if (added_++ % stride_ == 0)
        pending_.Snapshots.push_back({time, {temperatures.begin() + 1, temperatures.end() - 1}});
}

TRecordChunk TChunkQueue::Take()
{
    TRecordChunk taken;
    const std::lock_guard<std::mutex> lock(mutex_);
    std::swap(taken, pending_);
    return taken;
}

std::vector<TStripChange> TRunRecord::TakeStripChanges()
{
    std::vector<TStripChange> out;
    out.swap(stripChanges_);
    return out;
}

}  // namespace brennic
