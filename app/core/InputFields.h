// The table of the run's inputs: what each is called in the window, on the
// command line and in files, its unit, its default and what it may be.
#pragma once

#include <array>
#include <limits>
#include <string>

namespace brennic {

enum TFieldId : int {
    fThickness,
    fElementCount,
    fInitialMirrorTemp,
    fInitialAirTemp,
    fFinalAirTemp,
    fDuration,
    fTimeStep,
    fFrontFilm,
    fBackFilm,
    fFrontRadiation,
    fBackRadiation,
    FieldCount
};

// What a value may be, in the field's own unit.
struct TFieldRule {
    double Min;
    bool MinExclusive;  // the value must be greater than Min
    double Max;         // +infinity: no upper bound
};

struct TInputField {
    const char* Key;  // in scenario files; the option is "--" + Key
    const char* Option;
    const char* Caption;    // the window's label, without its colon
    const char* Unit;       // as the window writes it; "" for none
    const char* PlainUnit;  // ASCII, for the command line's help
    double ScaleUp;         // the solver's value = field value * ScaleUp / ScaleDown
    double ScaleDown;
    bool Whole;               // a whole number, not a decimal one
    const char16_t* Default;  // text with "." as decimal separator
    TFieldRule Rule;
    const char* Help;
};

inline constexpr double NoLimit = std::numeric_limits<double>::infinity();
// The solver's radiation offset is 273: nothing below that is a temperature.
// Glass softens long before the upper bound; beyond it the fourth power of
// the radiation term would leave the floating-point range.
inline constexpr double LowestTemperature = -273;
inline constexpr double HighestTemperature = 1000;

inline constexpr std::array<TInputField, FieldCount> InputFields{{
    {"thickness",
     "--thickness",
     "Mirror Thickness",
     "mm",
     "mm",
     1,
     1000,
     false,
     u"50.8",
     {0, true, NoLimit},
     "mirror thickness"},
    {"elements",
     "--elements",
     "Mirror Elements",
     "",
     "",
     1,
     1,
     true,
     u"50",
     {1, false, NoLimit},
     "number of elements through the thickness"},
    {"mirror-temp",
     "--mirror-temp",
     "Initial Mirror Temperature",
     "\u00b0C",
     "C",
     1,
     1,
     false,
     u"20",
     {LowestTemperature, false, HighestTemperature},
     "initial mirror temperature"},
    {"air-start",
     "--air-start",
     "Initial Air Temperature",
     "\u00b0C",
     "C",
     1,
     1,
     false,
     u"10",
     {LowestTemperature, false, HighestTemperature},
     "initial air temperature"},
    {"air-end",
     "--air-end",
     "Final Air Temperature",
     "\u00b0C",
     "C",
     1,
     1,
     false,
     u"10",
     {LowestTemperature, false, HighestTemperature},
     "final air temperature"},
    {"duration",
     "--duration",
     "Simulation Duration",
     "min",
     "min",
     60,
     1,
     false,
     u"120",
     {0, false, NoLimit},
     "simulated period"},
    {"time-step", "--time-step", "Time Step", "s", "s", 1, 1, false, u"10", {0, true, NoLimit}, "time step"},
    {"front-film",
     "--front-film",
     "Front Film Coefficient",
     "W/m\u00b2K",
     "W/m2K",
     1,
     1,
     false,
     u"10",
     {0, false, NoLimit},
     "front film coefficient"},
    {"back-film",
     "--back-film",
     "Back Film Coefficient",
     "W/m\u00b2K",
     "W/m2K",
     1,
     1,
     false,
     u"10",
     {0, false, NoLimit},
     "back film coefficient"},
    {"front-radiation",
     "--front-radiation",
     "Front Radiation",
     "",
     "",
     1,
     1,
     false,
     u"0.04",
     {0, false, 1},
     "front emissivity toward the sky, 0 to 1"},
    {"back-radiation",
     "--back-radiation",
     "Back Radiation",
     "",
     "",
     1,
     1,
     false,
     u"0",
     {0, false, 1},
     "back emissivity toward the sky, 0 to 1"},
}};

// A field's value in the solver's unit (m, s), computed as the run does.
inline double ToSolverUnit(int field, double value)
{
    const TInputField& f = InputFields[field];
    return f.ScaleDown == 1 ? value * f.ScaleUp : (value * f.ScaleUp) / f.ScaleDown;
}

// How refusals name a field: by the window's caption or by its option.
enum class TFieldNaming { Caption, Option };

inline const char* FieldName(int field, TFieldNaming naming)
{
    return naming == TFieldNaming::Caption ? InputFields[field].Caption : InputFields[field].Option;
}

// The texts of the eleven fields as typed, and the chosen material's index
// in the materials table.
struct TInputTexts {
    std::u16string Thickness = InputFields[fThickness].Default;
    std::u16string ElementCount = InputFields[fElementCount].Default;
    std::u16string InitialMirrorTemp = InputFields[fInitialMirrorTemp].Default;
    std::u16string InitialAirTemp = InputFields[fInitialAirTemp].Default;
    std::u16string FinalAirTemp = InputFields[fFinalAirTemp].Default;
    std::u16string Duration = InputFields[fDuration].Default;
    std::u16string TimeStep = InputFields[fTimeStep].Default;
    std::u16string FrontFilm = InputFields[fFrontFilm].Default;
    std::u16string BackFilm = InputFields[fBackFilm].Default;
    std::u16string FrontRadiation = InputFields[fFrontRadiation].Default;
    std::u16string BackRadiation = InputFields[fBackRadiation].Default;
    int Material = 0;

    std::u16string& Text(int field);
    const std::u16string& Text(int field) const;
};

}  // namespace brennic
