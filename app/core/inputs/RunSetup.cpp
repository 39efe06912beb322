#include "app/core/inputs/RunSetup.h"

#include "model/FilmCorrelations.h"
#include "model/RadiationLimit.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>

namespace brennic {

namespace {

double Stored(const TBrennicOneD& s, int field)
{
    return InputFields[field].Load ? InputFields[field].Load(s) : 0;
}

}  // namespace

// A list input (the seeing thresholds) holds at most this many values: each
// is a column of every sweep row and a line of the readout.
constexpr std::size_t MaxListValues = 32;

void ApplyInputs(const TInputTexts& t, char16_t dec, TBrennicOneD& s)
{
    for (int field = 0; field < FieldCount; ++field) {
        const TInputField& f = InputFields[field];
        const std::u16string& text = t.Text(field);
        if (f.Optional && text.empty())
            continue;
        if (f.Choices || f.List) {
            const int choice = f.Choices ? ChoiceIndex(field, text) : 0;
            if (choice < 0 || (f.List && ListValues(text, dec).empty()))
                throw EFieldConvertError(EConvertError("'" + ToUtf8(text) + "' is not " +
                                                       (f.List ? std::string("a list of numbers such as ") +
                                                                     ToUtf8(DefaultText(field, dec))
                                                               : "one of " + ChoicesText(field))),
                                         field);
            if (f.Store)
                f.Store(s, choice);
            continue;
        }
        try {
            const double v = f.Whole ? double(StrToInt(text)) : StrToFloat(text, dec);
            if (f.Store)
                f.Store(s, ToSolverUnit(field, v));
        } catch (const EConvertError& e) {
            throw EFieldConvertError(e, field);
        }
    }
    const TGlassProperties& m = GlassMaterials.at(static_cast<std::size_t>(t.Material));
    s.Conductivity = m.Conductivity;
    s.Density = m.Density;
    s.SpecificHeat = m.SpecificHeat;
}

void RefuseField(int field, const std::string& typed, TFieldNaming naming, const std::string& rule)
{
    throw EFieldError(std::string("\"") + FieldName(field, naming) + "\" is " + typed + ": " + rule, field, rule);
}

double ReportCount(double duration, double timeStep)
{
    if (!(duration > 0))
        return 1;
    if (!(timeStep > 0))
        return std::numeric_limits<double>::infinity();
    const double estimate = std::ceil(duration / timeStep);
    if (!(estimate <= ExactReportCountLimit))
        return estimate + 1;
    double steps = 0;
    for (double t = 0; t < duration; t = t + timeStep) steps += 1;
    return steps + 1;
}

double RunMemoryBytes(const TBrennicOneD& s, TMemoryUse use)
{
    // The solver's nine arrays of N + 2 doubles.
    const double elements = std::max(0.0, double(s.ElementCount));
    double bytes = 72 * (elements + 2);
    if (use == TMemoryUse::Streams)
        return bytes + (1 << 17);  // output buffer and a line being built
    // The profile: the last report's points, their decimated copy and the
    // copy being built; per step a strip cell and its pixel; per report a
    // result line and four curve points with their decimation.
    const double columns = ReportCount(s.Duration, s.TimeStep);
    bytes += 64 * elements + 5 * columns * elements + 256 * (columns + 1);
    return bytes;
}

namespace {

class TRefusal {
public:
    TRefusal(const TBrennicOneD& s, char16_t dec, const TInputTexts* texts, TFieldNaming naming)
        : s_(s), dec_(dec), texts_(texts), naming_(naming)
    {
    }

    [[noreturn]] void Refuse(int field, const std::string& rule) const { RefuseField(field, Typed(field), naming_, rule); }

    std::string Number(double v) const { return ToUtf8(FormatFloat(v, dec_)); }

    // Checks the field's rule on the value the solver holds.
    void Check(int field) const
    {
        const TInputField& f = InputFields[field];
        if (f.Choices)
            return;
        if (!f.Load || f.List) {
            // Fields that the solver does not hold are checked from their text.
            if (!texts_ || (f.Optional && texts_->Text(field).empty()))
                return;
            const std::vector<double> values =
                f.List ? ListValues(texts_->Text(field), dec_) : std::vector<double>{StrToFloat(texts_->Text(field), dec_)};
            if (values.size() > MaxListValues)
                Refuse(field, "give at most " + std::to_string(MaxListValues) + " values, not " +
                                  std::to_string(values.size()));
            for (double v : values) CheckValue(field, v);
            return;
        }
        CheckValue(field, Stored(s_, field));
    }

    void CheckValue(int field, double v) const
    {
        const TInputField& f = InputFields[field];
        const std::string suffix = f.Unit[0] ? std::string(" ") + f.Unit : std::string();
        if (!std::isfinite(v))
            Refuse(field, "it is beyond the range of numbers a run can use");
        const double lo = ToSolverUnit(field, f.Rule.Min), hi = ToSolverUnit(field, f.Rule.Max);
        if (f.Rule.Max != NoLimit && !(v >= lo && v <= hi))
            Refuse(field, "it must be between " + Number(f.Rule.Min) + " and " + Number(f.Rule.Max) + suffix);
        if (f.Rule.MinExclusive && !(v > lo))
            Refuse(field, "it must be greater than " + Number(f.Rule.Min) + suffix);
        if (!f.Rule.MinExclusive && !(v >= lo)) {
            if (f.Whole)
                Refuse(field, "at least " + Number(f.Rule.Min) + " is needed");
            Refuse(field, f.Rule.Min == 0 ? std::string("it must not be negative")
                                          : "it must not be below " + Number(f.Rule.Min) + suffix);
        }
    }

private:
    std::string Typed(int field) const
    {
        if (texts_)
            return ToUtf8(texts_->Text(field));
        const TInputField& f = InputFields[field];
        return Number(Stored(s_, field) * f.ScaleDown / f.ScaleUp);
    }

    const TBrennicOneD& s_;
    char16_t dec_;
    const TInputTexts* texts_;
    TFieldNaming naming_;
};

// The value rounded down to a number of significant digits, so that a
// limit quoted in a message is still within the limit.
double FloorSignificant(double v, int digits)
{
    if (!(v > 0) || !std::isfinite(v))
        return v;
    const double scale = std::pow(10.0, std::floor(std::log10(v)) - (digits - 1));
    const double floored = std::floor(v / scale) * scale;
    return floored <= v ? floored : std::nextafter(floored, 0.0);
}

// Refusals that concern the run as a whole rather than one field's rule.
void CheckCombination(const TBrennicOneD& s, const TRefusal& r, const TAirExtremes* air)
{
    if (s.Duration > 0) {
        // The time is accumulated by repeated addition: a step below half a
        // unit in the last place of the duration would stop the clock.
        const double ulp = std::nextafter(s.Duration, std::numeric_limits<double>::infinity()) - s.Duration;
        if (s.TimeStep * 2 <= ulp)
            r.Refuse(fTimeStep, "it is too small to advance the time over the simulated period");
    }
    // Every coefficient of the scheme must be a finite, non-zero number.
    const double dx = s.Thickness / s.ElementCount;
    const double rhoC = s.Density * s.SpecificHeat;
    if (!(dx > 0) || !std::isfinite((s.Conductivity * s.TimeStep) / ((dx * dx) * rhoC)))
        r.Refuse(fThickness, "the elements would be too thin to compute with");
    if (!std::isfinite(dx * dx) || !std::isfinite(rhoC * s.Thickness))
        r.Refuse(fThickness, "it is beyond the range of numbers a run can use");
    // The elimination multiplies the couplings (at most 2 Fo + 1) by the
    // temperatures, and adds a few such products.
    const double fo = (s.Conductivity * s.TimeStep) / ((dx * dx) * rhoC);
    const double hottestMagnitude =
        std::max({std::fabs(s.InitialMirrorTemp), std::fabs(s.InitialAirTemp), std::fabs(s.FinalAirTemp), 273.0});
    if (!std::isfinite(8 * (2 * fo + 1) * hottestMagnitude))
        r.Refuse(fTimeStep, "it is beyond the range of numbers a run can use");
    // The elimination keeps each element's own heat capacity (the 1 beside
    // the Fourier number) only while the Fourier number leaves it digits.
    if (s.Duration > 0 && fo > MaxFourierNumber)
        r.Refuse(fTimeStep, "it is too long for elements this thin; the longest step for them is " +
                                r.Number(FloorSignificant(MaxFourierNumber * ((dx * dx) * rhoC) / s.Conductivity, 4)) +
                                " s (or use fewer elements)");
    for (int film : {fFrontFilm, fBackFilm})
        if (!std::isfinite(Stored(s, film) / (s.Conductivity / dx)))
            r.Refuse(film, "it is beyond the range of numbers a run can use");

    // Film coefficients from the conditions need air whose properties the
    // correlations can extrapolate to.
    if (s.ComputedFilms) {
        const std::string range = "with film coefficients from the conditions it must be between " +
                                  r.Number(ConditionsLowestTemperature) + " and " +
                                  r.Number(ConditionsHighestTemperature) + " \u00b0C";
        const std::pair<int, double> temperatures[] = {
            {fInitialMirrorTemp, s.InitialMirrorTemp}, {fInitialAirTemp, s.InitialAirTemp}, {fFinalAirTemp, s.FinalAirTemp}};
        for (const auto& [field, t] : temperatures)
            if ((!air || field == fInitialMirrorTemp) &&
                !(t >= ConditionsLowestTemperature && t <= ConditionsHighestTemperature))
                r.Refuse(field, range);
        if (air && !(air->Lowest >= ConditionsLowestTemperature && air->Highest <= ConditionsHighestTemperature))
            throw EBrennicError("The air file's air reaches " + r.Number(air->Lowest < ConditionsLowestTemperature
                                                                              ? air->Lowest
                                                                              : air->Highest) +
                                " \u00b0C; film coefficients from the conditions need air between " +
                                r.Number(ConditionsLowestTemperature) + " and " +
                                r.Number(ConditionsHighestTemperature) + " \u00b0C");
    }
    const double hottest =
        std::max({s.InitialMirrorTemp, s.InitialAirTemp, s.FinalAirTemp, air ? air->Highest : -273.0});
    // The flux is largest in magnitude at the hottest face, or toward the
    // sky's 1.6e9 K^4 for a face near absolute zero.
    const double kelvin = hottest + 273;
    const double fourth = std::max(kelvin * kelvin * kelvin * kelvin, 1.6e9);
    const double sink = 4.67e-8 * std::max(s.FrontRadiation, s.BackRadiation) * fourth;
    if (!std::isfinite(sink * s.TimeStep))
        r.Refuse(fTimeStep, "it is beyond the range of numbers a run can use");
    const double limit = MaxStableTimeStep(s, hottest);
    if (s.Duration > 0 && s.TimeStep > limit)
        r.Refuse(fTimeStep, "the faces' radiation makes the model unstable beyond " +
                                r.Number(FloorSignificant(limit, 4)) + " s for this mirror");
}

}  // namespace

TRunPlan PlanRun(const TBrennicOneD& s, char16_t dec, const TInputTexts* texts, TFieldNaming naming, TMemoryUse use,
                 const TAirExtremes* air)
{
    const TRefusal r(s, dec, texts, naming);
    for (int field = 0; field < FieldCount; ++field)
        if (!air || (field != fInitialAirTemp && field != fFinalAirTemp))
            r.Check(field);
    // A run too large for memory is refused before the finer checks.
    const double columns = ReportCount(s.Duration, s.TimeStep);
    const double cells = columns * s.ElementCount;
    const double bytes = RunMemoryBytes(s, use);
    const bool keeps = use == TMemoryUse::KeepsResults;
    if ((keeps && (!(columns <= 0x7FFFFFFF) || !(cells <= 0x7FFFFFFF))) || !(bytes <= double(RunMemoryLimitBytes))) {
        const std::string need = "about " + r.Number(std::round(bytes / 1048576)) + " MiB, more than the limit of " +
                                 std::to_string(RunMemoryLimitBytes >> 20) + " MiB";
        if (!keeps)
            r.Refuse(fElementCount, "so many elements would need " + need);
        throw EBrennicError("The run is too large: " + r.Number(columns) + " steps of " +
                            std::to_string(s.ElementCount) + " elements would need " + need +
                            ". Use a longer time step, a shorter duration or fewer elements");
    }
    CheckCombination(s, r, air);

    s.CheckInputs();

    TRunPlan plan;
    plan.StripWidth = columns <= 0x7FFFFFFF ? static_cast<std::int32_t>(columns) : 0;
    plan.StripHeight = s.ElementCount;
    plan.AxisMinutes = s.Duration / 60;
    plan.TempMin = std::min({s.InitialMirrorTemp, s.InitialAirTemp, s.FinalAirTemp}) - 1;
    plan.TempMax = std::max({s.InitialMirrorTemp, s.InitialAirTemp, s.FinalAirTemp}) + 1;
    if (air) {
        plan.TempMin = std::min(plan.TempMin, air->Lowest - 1);
        plan.TempMax = std::max(plan.TempMax, air->Highest + 1);
    }
    return plan;
}

}  // namespace brennic
