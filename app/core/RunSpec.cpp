#include "app/core/RunSpec.h"

#include "support/NumberText.h"

#include <optional>

namespace brennic {

void ApplyLogDefaults(TInputTexts& texts, const TMeasuredLog& log, char16_t dec, bool mirrorTempGiven,
                      bool durationGiven)
{
    if (!mirrorTempGiven)
        texts.Text(fInitialMirrorTemp) = FormatFloat(log.FirstMirrorTemperature(), dec);
    if (!durationGiven)
        texts.Text(fDuration) = FormatFloat(log.Span() / 60, dec);
}

TRunSpec BuildRunSpec(TSpecSource source)
{
    TRunSpec spec;
    if (source.Log) {
        ApplyLogDefaults(source.Texts, *source.Log, source.DecimalSeparator, source.MirrorTempGiven,
                         source.DurationGiven);
        if (source.Log->Air)
            source.Air = source.Log->Air;
    }
    ApplyInputs(source.Texts, source.DecimalSeparator, spec.Solver);
    std::optional<TAirExtremes> extremes;
    if (source.Air) {
        TAirSource::Apply(source.Air, spec.Solver);
        extremes = source.Air->Extremes(spec.Solver.Duration);
    }
    spec.Plan = PlanRun(spec.Solver, source.DecimalSeparator, &source.Texts, source.Naming, source.Use,
                        extremes ? &*extremes : nullptr);
    spec.Texts = std::move(source.Texts);
    spec.Settings = source.Settings;
    spec.Tolerances = std::move(source.Tolerances);
    spec.Air = std::move(source.Air);
    spec.Log = std::move(source.Log);
    return spec;
}

}  // namespace brennic
