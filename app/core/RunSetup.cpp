#include "RunSetup.h"

#include "LibStandard.h"
#include "NumberText.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace brennic {

void ApplyInputs(const TInputTexts& t, char16_t dec, TBrennicOneD& s)
{
    int field = 0;
    auto decimal = [&](const std::u16string& text) {
        try {
            const double v = StrToFloat(text, dec);
            ++field;
            return v;
        } catch (const EConvertError& e) {
            throw EFieldConvertError(e, field);
        }
    };
    s.Thickness = decimal(t.Thickness) / 1000;
    try {
        s.ElementCount = StrToInt(t.ElementCount);
        ++field;
    } catch (const EConvertError& e) {
        throw EFieldConvertError(e, field);
    }
    s.InitialMirrorTemp = decimal(t.InitialMirrorTemp);
    s.InitialAirTemp = decimal(t.InitialAirTemp);
    s.FinalAirTemp = decimal(t.FinalAirTemp);
    s.Duration = decimal(t.Duration) * 60;
    s.TimeStep = decimal(t.TimeStep);
    s.FrontFilmCoefficient = decimal(t.FrontFilm);
    s.BackFilmCoefficient = decimal(t.BackFilm);
    s.FrontRadiation = decimal(t.FrontRadiation);
    s.BackRadiation = decimal(t.BackRadiation);
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

TRunPlan PlanRun(const TBrennicOneD& s, char16_t dec, const TFieldNames& names, bool limitMemory)
{
    enum { Thickness, Elements, Mirror, Air0, Air1, Duration, Step, FrontFilm, BackFilm, FrontRad, BackRad };
    const double thicknessMm = s.Thickness * 1000;
    RequireFinite(names[Thickness], thicknessMm, dec);
    if (!(s.Thickness > 0))
        Refuse(names[Thickness], thicknessMm, dec, "it must be greater than 0 mm");
    if (s.ElementCount < 1)
        Refuse(names[Elements], s.ElementCount, dec, "at least 1 element is needed");
    RequireFinite(names[Mirror], s.InitialMirrorTemp, dec);
    RequireFinite(names[Air0], s.InitialAirTemp, dec);
    RequireFinite(names[Air1], s.FinalAirTemp, dec);
    const double minutes = s.Duration / 60;
    RequireFinite(names[Duration], s.Duration, dec);
    if (s.Duration < 0)
        Refuse(names[Duration], minutes, dec, "it must not be negative");
    RequireFinite(names[Step], s.TimeStep, dec);
    if (!(s.TimeStep > 0))
        Refuse(names[Step], s.TimeStep, dec, "it must be greater than 0 s");
    const std::pair<int, double> nonNegative[] = {{FrontFilm, s.FrontFilmCoefficient},
                                                  {BackFilm, s.BackFilmCoefficient},
                                                  {FrontRad, s.FrontRadiation},
                                                  {BackRad, s.BackRadiation}};
    for (const auto& [field, value] : nonNegative) {
        RequireFinite(names[field], value, dec);
        if (value < 0)
            Refuse(names[field], value, dec, "it must not be negative");
    }

    // Strip cells (a byte each plus a 32-bit pixel), and per reported step a
    // result line and four curve points.
    const double columns = RoundHalfEven(s.Duration / s.TimeStep) + 1;
    const double cells = columns * s.ElementCount;
    const double bytes = cells * 5 + (columns + 1) * 256;
    if (limitMemory &&
        (!(columns <= 0x7FFFFFFF) || !(cells <= 0x7FFFFFFF) || !(bytes <= double(RunMemoryLimitBytes)))) {
        throw EBrennicError("The run is too large: " + ToUtf8(FormatFloat(columns, dec)) + " steps of " +
                            std::to_string(s.ElementCount) + " elements would need about " +
                            ToUtf8(FormatFloat(std::round(bytes / 1048576), dec)) +
                            " MiB, more than the limit of " + std::to_string(RunMemoryLimitBytes >> 20) +
                            " MiB. Use a longer time step, a shorter duration or fewer elements");
    }
    s.CheckInputs();

    TRunPlan plan;
    plan.StripWidth = columns <= 0x7FFFFFFF ? static_cast<std::int32_t>(columns) : 0;
    plan.StripHeight = s.ElementCount;
    plan.AxisMinutes = minutes;
    plan.TempMin = std::min({s.InitialMirrorTemp, s.InitialAirTemp, s.FinalAirTemp}) - 1;
    plan.TempMax = std::max({s.InitialMirrorTemp, s.InitialAirTemp, s.FinalAirTemp}) + 1;
    return plan;
}

}  // namespace brennic
