#include "app/core/RunRecord.h"

#include "app/core/StripPalette.h"
#include "support/NumberText.h"

#include <algorithm>
#include <cmath>

namespace brennic {

void TRunRecord::Start(const TBrennicOneD& solver, const TRunPlan& plan, const TInputTexts& inputs,
                       const TRegionalSettings& settings, const std::vector<double>& tolerances, TRowSink sink,
                       std::shared_ptr<const TAirSource> air)
{
    Air = std::move(air);
    DewRiskFrom.reset();
    settings_ = settings;
    sink_ = std::move(sink);
    ++Version;
    Inputs = inputs;
    Plan = plan;
    TimeStep = solver.TimeStep;
    Duration = solver.Duration;
    Reports.clear();
    Profile.clear();
    ProfileTitle.clear();
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
    Strip.SetSize(plan.StripWidth, plan.StripHeight);
    Strip.Clear(0);
}

void TRunRecord::Add(std::span<const double> positions, std::span<const double> temperatures, double time)
{
    const TStepValues v = StepValues(temperatures, time);
    ++Version;
    Readiness.Add(v);
    if (!DewRiskFrom && Air && Air->Dew && v.Surface < Air->Dew->At(time))
        DewRiskFrom = time;
    row_.clear();
    AppendResultRow(row_, v, settings_);
    if (sink_) {
        sink_(row_);
        return;
    }
    Reports.push_back(v);
    Lines.Add(row_);

    ProfileTitle = u"Temperature Profile - Time ";
    AppendFloat(ProfileTitle, time, settings_.DecimalSeparator);
    ProfileTitle += u" sec";
    const std::size_t n = temperatures.size() - 2;
    Profile.resize(n);
    for (std::size_t k = 1; k <= n; ++k) Profile[k - 1] = {positions[k] * 1000, temperatures[k]};

    // One strip column per report; a step beyond the strip's last column (the
    // period not a whole number of steps) is not drawn.
    const std::int64_t column = StripColumn(time, TimeStep);
    if (!Strip.Contains(column, 0))
        return;
    const auto c = static_cast<std::int32_t>(column);
    TStripChange change{c, {}};
    for (std::size_t k = 1; k <= n; ++k) {
        const auto row = static_cast<std::int32_t>(k - 1);
        const std::uint8_t old = Strip.Value(c, row);
        if (old != 0 && change.Old.empty())
            change.Old.assign(n, 0);
        if (!change.Old.empty())
            change.Old[k - 1] = old;
        Strip.SetValue(c, row, StripColorIndex(std::fabs(temperatures[k] - v.Air) / 6));
    }
    stripChanges_.push_back(std::move(change));
}

std::vector<TStripChange> TRunRecord::TakeStripChanges()
{
    std::vector<TStripChange> out;
    out.swap(stripChanges_);
    return out;
}

}  // namespace brennic
