// The table of the run's inputs: what each is called in the window, on the
// command line and in files, its unit, its default and what it may be.
#pragma once

#include "model/FiniteDiff_1D.h"

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

// Where the window shows a field: its group box (0 mirror, 1 heat transfer,
// 2 simulation), its row there (the tab order follows group and row), the
// object names of its caption, edit and unit label (no unit label: nullptr),
// and the lefts and tops of the edit and the labels, in pixels.
struct TFieldLayout {
    int Group, Row;
    const char* LabelName;
    const char* EditName;
    const char* UnitName;
    int EditLeft, UnitLeft, LabelTop, EditTop;
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
    // The solver's member that takes the value (in the solver's unit).
    void (*Store)(TBrennicOneD& solver, double value);
    double (*Load)(const TBrennicOneD& solver);
    TFieldLayout Layout;
};

inline constexpr double NoLimit = std::numeric_limits<double>::infinity();
// The solver's radiation offset is 273: nothing below that is a temperature.
// Glass softens long before the upper bound; beyond it the fourth power of
// the radiation term would leave the floating-point range.
inline constexpr double LowestTemperature = -273;
inline constexpr double HighestTemperature = 1000;

// The accessors of one solver member, for the table below.
#define BRENNIC_MEMBER(member)                                                           \
    [](TBrennicOneD& s, double v) { s.member = static_cast<decltype(s.member)>(v); }, \
        [](const TBrennicOneD& s) { return static_cast<double>(s.member); }

// clang-format off
inline constexpr std::array<TInputField, FieldCount> InputFields{{
    {"thickness", "--thickness", "Mirror Thickness", "mm", "mm", 1, 1000, false, u"50.8",
     {0, true, NoLimit}, "mirror thickness", BRENNIC_MEMBER(Thickness),
     {0, 0, "Label1", "edtThickness", "Label7", 152, 219, 19, 16}},
    {"elements", "--elements", "Mirror Elements", "", "", 1, 1, true, u"50",
     {1, false, NoLimit}, "number of elements through the thickness", BRENNIC_MEMBER(ElementCount),
     {0, 3, "lbl1", "edtElementCount", nullptr, 152, 0, 99, 96}},
    {"mirror-temp", "--mirror-temp", "Initial Mirror Temperature", "\u00b0C", "C", 1, 1, false, u"20",
     {LowestTemperature, false, HighestTemperature}, "initial mirror temperature", BRENNIC_MEMBER(InitialMirrorTemp),
     {0, 1, "Label2", "edtInitialMirrorTemp", "Label8", 152, 219, 46, 43}},
    {"air-start", "--air-start", "Initial Air Temperature", "\u00b0C", "C", 1, 1, false, u"10",
     {LowestTemperature, false, HighestTemperature}, "initial air temperature", BRENNIC_MEMBER(InitialAirTemp),
     {2, 0, "Label3", "edtInitialAirTemp", "Label9", 133, 199, 19, 16}},
    {"air-end", "--air-end", "Final Air Temperature", "\u00b0C", "C", 1, 1, false, u"10",
     {LowestTemperature, false, HighestTemperature}, "final air temperature", BRENNIC_MEMBER(FinalAirTemp),
     {2, 1, "Label4", "edtFinalAirTemp", "Label10", 133, 199, 46, 43}},
    {"duration", "--duration", "Simulation Duration", "min", "min", 60, 1, false, u"120",
     {0, false, NoLimit}, "simulated period", BRENNIC_MEMBER(Duration),
     {2, 2, "Label5", "edtTimeInterval", "Label11", 133, 200, 73, 70}},
    {"time-step", "--time-step", "Time Step", "s", "s", 1, 1, false, u"10",
     {0, true, NoLimit}, "time step", BRENNIC_MEMBER(TimeStep),
     {2, 3, "Label6", "edtTimeStep", "Label12", 133, 200, 101, 97}},
    {"front-film", "--front-film", "Front Film Coefficient", "W/m\u00b2K", "W/m2K", 1, 1, false, u"10",
     {0, false, NoLimit}, "front film coefficient", BRENNIC_MEMBER(FrontFilmCoefficient),
     {1, 0, "lbl5", "edtFrontFanFlow", "lbl6", 132, 199, 19, 16}},
    {"back-film", "--back-film", "Back Film Coefficient", "W/m\u00b2K", "W/m2K", 1, 1, false, u"10",
     {0, false, NoLimit}, "back film coefficient", BRENNIC_MEMBER(BackFilmCoefficient),
     {1, 2, "lbl8", "edtBackFanFlow", "lbl9", 132, 199, 73, 70}},
    {"front-radiation", "--front-radiation", "Front Radiation", "", "", 1, 1, false, u"0.04",
     {0, false, 1}, "front emissivity toward the sky, 0 to 1", BRENNIC_MEMBER(FrontRadiation),
     {1, 1, "lbl2", "edtFrontRadiation", nullptr, 132, 0, 46, 43}},
    {"back-radiation", "--back-radiation", "Back Radiation", "", "", 1, 1, false, u"0",
     {0, false, 1}, "back emissivity toward the sky, 0 to 1", BRENNIC_MEMBER(BackRadiation),
     {1, 3, "lbl3", "edtBackRadiation", nullptr, 132, 0, 100, 97}},
}};
// clang-format on
#undef BRENNIC_MEMBER

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

// A glass by its name (any case) or its index 0-5 in the materials table;
// -1 when it is neither.
int MaterialFromText(const std::string& text);

// The field whose key (its option without "--") this is; -1 for none.
int FieldByKey(const std::string& key);

// The texts of the input fields as typed, in the table's order, and the
// chosen material's index in the materials table.
struct TInputTexts {
    TInputTexts();
    std::array<std::u16string, FieldCount> Texts;
    int Material = 0;

    std::u16string& Text(int field) { return Texts.at(static_cast<std::size_t>(field)); }
    const std::u16string& Text(int field) const { return Texts.at(static_cast<std::size_t>(field)); }
    bool operator==(const TInputTexts&) const = default;
};

}  // namespace brennic
