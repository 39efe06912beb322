// Turning the texts of the input fields into a configured solver, and what a
// run needs before it may start.
#pragma once

#include "FiniteDiff_1D.h"
#include "NumberText.h"

#include <array>
#include <cstdint>
#include <string>

namespace brennic {

// The eleven input texts as typed, and the chosen material's table index.
struct TInputTexts {
    std::u16string Thickness = u"50.8";       // mm
    std::u16string ElementCount = u"50";
    std::u16string InitialMirrorTemp = u"20";  // degC
    std::u16string InitialAirTemp = u"10";     // degC
    std::u16string FinalAirTemp = u"10";       // degC
    std::u16string Duration = u"120";          // min
    std::u16string TimeStep = u"10";           // s
    std::u16string FrontFilm = u"10";          // W/(m^2 K)
    std::u16string BackFilm = u"10";           // W/(m^2 K)
    std::u16string FrontRadiation = u"0.04";
    std::u16string BackRadiation = u"0";
    int Material = 0;
};

// A field that did not convert: the conversion's message, and which field
// (its position in TInputTexts) it was.
class EFieldConvertError : public EConvertError {
public:
    EFieldConvertError(const EConvertError& e, int field) : EConvertError(e), Field(field) {}
    int Field;
};

// Converts the fields in their fixed order, storing each value into the
// solver as soon as it is converted, then copies the material. The first
// field that does not convert throws EFieldConvertError; later ones are not
// read.
void ApplyInputs(const TInputTexts& texts, char16_t decimalSeparator, TBrennicOneD& solver);

// Where a run will draw and how much it will hold.
struct TRunPlan {
    std::int32_t StripWidth = 0;   // columns: Duration / TimeStep rounded (halves to even), plus 1
    std::int32_t StripHeight = 0;  // rows: one per element
    double AxisMinutes = 0;        // the time axis runs from 0 to here
    double TempMin = 0;            // both temperature axes, degC
    double TempMax = 0;
};

// Upper bound on the memory a run's results and strip may take.
inline constexpr std::uint64_t RunMemoryLimitBytes = 2048ull << 20;

// How refusals name the inputs, in the order of TInputTexts.
using TFieldNames = std::array<const char*, 11>;
inline constexpr TFieldNames WindowFieldNames{
    "Mirror Thickness", "Mirror Elements", "Initial Mirror Temperature", "Initial Air Temperature",
    "Final Air Temperature", "Simulation Duration", "Time Step", "Front Film Coefficient",
    "Back Film Coefficient", "Front Radiation", "Back Radiation"};

// Checks everything a run needs and lays it out. Throws EBrennicError with a
// message that names the field and the value in the units of the inputs.
// Without limitMemory the strip and the result lines are not counted (for
// callers that keep neither).
TRunPlan PlanRun(const TBrennicOneD& solver, char16_t decimalSeparator,
                 const TFieldNames& names = WindowFieldNames, bool limitMemory = true);

// Rounds to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double v);

// Column of the strip for a reported time.
std::int64_t StripColumn(double time, double timeStep);

}  // namespace brennic
