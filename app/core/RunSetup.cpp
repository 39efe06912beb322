#include "RunSetup.h"

#include "LibStandard.h"
#include "NumberText.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace brennic {

void ApplyInputs(const TInputTexts& t, char16_t dec, TBrennicOneD& s)
{
    s.Thickness = StrToFloat(t.Thickness, dec) / 1000;
    s.ElementCount = StrToInt(t.ElementCount);
    s.InitialMirrorTemp = StrToFloat(t.InitialMirrorTemp, dec);
    s.InitialAirTemp = StrToFloat(t.InitialAirTemp, dec);
    s.FinalAirTemp = StrToFloat(t.FinalAirTemp, dec);
    s.Duration = StrToFloat(t.Duration, dec) * 60;
    s.TimeStep = StrToFloat(t.TimeStep, dec);
    s.FrontFilmCoefficient = StrToFloat(t.FrontFilm, dec);
    s.BackFilmCoefficient = StrToFloat(t.BackFilm, dec);
    s.FrontRadiation = StrToFloat(t.FrontRadiation, dec);
    s.BackRadiation = StrToFloat(t.BackRadiation, dec);
    const TGlassProperties& m = GlassMaterials.at(static_cast<std::size_t>(t.Material));
    s.Conductivity = m.Conductivity;
    s.Density = m.Density;
    s.SpecificHeat = m.SpecificHeat;
}

double RoundHalfEven(double v)
{
    // nearbyint rounds in the current mode; make sure it is to-nearest-even.
    const int mode = std::fegetround();
    if (mode != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    if (mode != FE_TONEAREST)
        std::fesetround(mode);
    return r;
}

std::int64_t StripColumn(double time, double timeStep)
{
    return static_cast<std::int64_t>(RoundHalfEven(time / timeStep));
}

namespace {

[[noreturn]] void Refuse(const char* field, double value, char16_t dec, const char* rule)
{
    throw EBrennicError(std::string("\"") + field + "\" is " + ToUtf8(FormatFloat(value, dec)) + ": " + rule);
}

void RequireFinite(const char* field, double value, char16_t dec)
{
    if (!std::isfinite(value))
        Refuse(field, value, dec, "it must be a finite number");
}

}  // namespace

TRunPlan PlanRun(const TBrennicOneD& s, char16_t dec)
{
    const double thicknessMm = s.Thickness * 1000;
    RequireFinite("Mirror Thickness", thicknessMm, dec);
    if (!(s.Thickness > 0))
        Refuse("Mirror Thickness", thicknessMm, dec, "it must be greater than 0 mm");
    if (s.ElementCount < 1)
        Refuse("Mirror Elements", s.ElementCount, dec, "at least 1 element is needed");
    RequireFinite("Initial Mirror Temperature", s.InitialMirrorTemp, dec);
    RequireFinite("Initial Air Temperature", s.InitialAirTemp, dec);
    RequireFinite("Final Air Temperature", s.FinalAirTemp, dec);
    const double minutes = s.Duration / 60;
    RequireFinite("Simulation Duration", s.Duration, dec);
    if (s.Duration < 0)
        Refuse("Simulation Duration", minutes, dec, "it must not be negative");
    RequireFinite("Time Step", s.TimeStep, dec);
    if (!(s.TimeStep > 0))
        Refuse("Time Step", s.TimeStep, dec, "it must be greater than 0 s");
    RequireFinite("Front Film Coefficient", s.FrontFilmCoefficient, dec);
    if (s.FrontFilmCoefficient < 0)
        Refuse("Front Film Coefficient", s.FrontFilmCoefficient, dec, "it must not be negative");
    RequireFinite("Back Film Coefficient", s.BackFilmCoefficient, dec);
    if (s.BackFilmCoefficient < 0)
        Refuse("Back Film Coefficient", s.BackFilmCoefficient, dec, "it must not be negative");
    RequireFinite("Front Radiation", s.FrontRadiation, dec);
    if (s.FrontRadiation < 0)
        Refuse("Front Radiation", s.FrontRadiation, dec, "it must not be negative");
    RequireFinite("Back Radiation", s.BackRadiation, dec);
    if (s.BackRadiation < 0)
        Refuse("Back Radiation", s.BackRadiation, dec, "it must not be negative");

    // Strip cells (a byte each plus a 32-bit pixel), and per reported step a
    // result line and four curve points.
    const double columns = RoundHalfEven(s.Duration / s.TimeStep) + 1;
    const double cells = columns * s.ElementCount;
    const double bytes = cells * 5 + (columns + 1) * 256;
    if (!(columns <= 0x7FFFFFFF) || !(cells <= 0x7FFFFFFF) || !(bytes <= double(RunMemoryLimitBytes))) {
        throw EBrennicError("The run is too large: " + ToUtf8(FormatFloat(columns, dec)) + " steps of " +
                            std::to_string(s.ElementCount) + " elements would need about " +
                            ToUtf8(FormatFloat(std::round(bytes / 1048576), dec)) +
                            " MiB, more than the limit of " + std::to_string(RunMemoryLimitBytes >> 20) +
                            " MiB. Use a longer time step, a shorter duration or fewer elements");
    }
    s.CheckInputs();

    TRunPlan plan;
    plan.StripWidth = static_cast<std::int32_t>(columns);
    plan.StripHeight = s.ElementCount;
    plan.AxisMinutes = minutes;
    plan.TempMin = std::min({s.InitialMirrorTemp, s.InitialAirTemp, s.FinalAirTemp}) - 1;
    plan.TempMax = std::max({s.InitialMirrorTemp, s.InitialAirTemp, s.FinalAirTemp}) + 1;
    return plan;
}

}  // namespace brennic
