#include "app/core/inputs/RunRequest.h"

#include "app/core/inputs/InputPlausibility.h"

#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <cmath>
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

TSkyKind ResolveSky(const TInputTexts& texts, const std::shared_ptr<const TAirSource>& air, char16_t dec,
                    TFieldNaming naming, TBrennicOneD& solver)
{
    // The classic model knows only its black sky: "auto" does not take the file's.
    const bool fileSky = air && air->Sky && texts.Text(fRadiation) != u"classic";
    const std::u16string& kind = texts.Text(fSky);
    solver.ClearSkyDewPoint = nullptr;
    if (kind == u"file" || (kind == u"auto" && fileSky)) {
        if (!(air && air->Sky))
            RefuseField(fSky, "file", naming,
                        air ? "the air file has no sky column" : "the sky comes from an air file, and none is chosen");
        return TSkyKind::File;
    }
    solver.SkyTemperature = nullptr;
    if (kind != u"clear")
        return TSkyKind::Fixed;
    if (air && air->Dew) {
        solver.ClearSkyDewPoint = [air](double t) { return air->Dew->At(t); };
        return TSkyKind::Clear;
    }
    const std::u16string& text = texts.Text(fDewPoint);
    if (text.empty())
        RefuseField(fDewPoint, "not given", naming,
                    "a clear sky needs the dew point (give it, or an air file with a dew-point column)");
    const double dew = StrToFloat(text, dec);
    solver.ClearSkyDewPoint = [dew](double) { return dew; };
    return TSkyKind::Clear;
}

// A stretch of the run without air in the file would be filled with a
// straight line between two far-apart samples: refused, naming them.
void CheckAirGaps(const TAirSource& air, double duration, double maxGap, TFieldNaming naming)
{
    const TSeries::TGap gap = air.Air.LongestGap(0, duration);
    const double length = gap.To - gap.From;
    if (length <= maxGap || length <= AirGapSteps * air.Air.MedianStep())
        return;
    const std::string hours = ToUtf8(FormatFloat(std::ceil(length / 360) / 10, u'.'));
    throw ETableError(air.Table.File + ": no air between " + air.When(std::max(gap.From, 0.0), u'.') + " and " +
                      air.When(gap.To, u'.') + " of the run (" + hours + " h): the air there would be made up" +
                      (naming == TFieldNaming::Option ? " (--max-gap " + hours + " allows it)"
                                                      : "; choose a start or a period the file covers"));
}

TRunRequest BuildRunRequest(TRequestSource source)
{
    TRunRequest request;
    if (source.Log) {
        ApplyLogDefaults(source.Texts, *source.Log, source.DecimalSeparator, source.MirrorTempGiven,
                         source.DurationGiven);
        if (source.Log->Air)
            source.Air = source.Log->Air;
    }
    if (!source.SiteElevationGiven && source.Air && source.Air->Table.ElevationMetres) {
        const double elevation = *source.Air->Table.ElevationMetres;
        source.Texts.Text(fSiteElevation) = FormatFloat(elevation, source.DecimalSeparator);
        request.Notes.push_back("Site elevation " + ToUtf8(FormatFloat(elevation, u'.')) + " m, from " +
                                source.Air->Table.File);
    }
    ApplyInputs(source.Texts, source.DecimalSeparator, request.Solver);
    std::optional<TAirExtremes> extremes;
    if (source.Air) {
        TAirSource::Apply(source.Air, request.Solver);
        extremes = source.Air->Extremes(request.Solver.Duration);
        CheckAirGaps(*source.Air, request.Solver.Duration, source.MaxAirGap, source.Naming);
    }
    request.Model = ResolveRadiationModel(source.Texts, source.Air && source.Air->Sky, source.DecimalSeparator,
                                          source.Naming);
    ApplyRadiationModel(request.Model, source.Texts, source.BackRadiationGiven, source.DecimalSeparator,
                        request.Solver);
    ResolveSky(source.Texts, source.Air, source.DecimalSeparator, source.Naming, request.Solver);
    ApplyBackFan(source.Texts, source.DecimalSeparator, source.Naming, request.Solver, request.Notes);
    for (std::string& note : PlausibilityNotes(request.Solver, source.Naming)) request.Notes.push_back(std::move(note));
    request.Plan = PlanRun(request.Solver, source.DecimalSeparator, &source.Texts, source.Naming, source.Use,
                        extremes ? &*extremes : nullptr);
    // Air holds at most its own temperature of water vapour: a typed dew
    // point above the air at the start is a slip (or fog), not a night.
    if (request.Solver.ClearSkyDewPoint && !(source.Air && source.Air->Dew) &&
        request.Solver.ClearSkyDewPoint(0) > request.Solver.InitialAirTemp)
        RefuseField(fDewPoint, ToUtf8(source.Texts.Text(fDewPoint)), source.Naming,
                    "the dew point cannot be above the air (" +
                        ToUtf8(FormatFloat(request.Solver.InitialAirTemp, source.DecimalSeparator)) +
                        " \u00b0C at the start)");
    request.Seeing = ListValues(source.Texts.Text(fSeeing), source.DecimalSeparator);
    request.SeeingTexts = ListItems(source.Texts.Text(fSeeing), source.DecimalSeparator);
    request.Texts = std::move(source.Texts);
    request.Settings = source.Settings;
    request.Tolerances = std::move(source.Tolerances);
    request.Air = std::move(source.Air);
    request.Log = std::move(source.Log);
    return request;
}

}  // namespace brennic
