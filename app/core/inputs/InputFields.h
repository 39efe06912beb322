// The table of the run's inputs: what each is called in the window, on the
// command line and in files, its unit, its default and what it may be.
#pragma once

#include "model/FiniteDiff_1D.h"

#include <array>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

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
    fDiameter,
    fAltitude,
    fFrontAirSpeed,
    fBackAirSpeed,
    fFilms,
    fSky,
    fDewPoint,
    fBackSees,
    fTubeLength,
    fSeeing,
    fRadiation,
    fEdge,
    fBackFan,
    fSiteElevation,
    FieldCount
};

// The fields of the classic model come first; the observing conditions
// follow them.
inline constexpr int ClassicFieldCount = fDiameter;

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
    // The solver's member that takes the value (in the solver's unit).
    void (*Store)(TBrennicOneD& solver, double value);
    double (*Load)(const TBrennicOneD& solver);
    // A choice among words separated by "|" (the text is one of them; the
    // solver gets its index), instead of a number.
    const char* Choices = nullptr;
    bool List = false;      // comma-separated numbers, each within the rule
    bool Optional = false;  // an empty text means "not given"
};

inline constexpr double NoLimit = std::numeric_limits<double>::infinity();

// The accessors of one solver member, for the table below.
#define BRENNIC_MEMBER(member)                                                           \
    [](TBrennicOneD& s, double v) { s.member = static_cast<decltype(s.member)>(v); }, \
        [](const TBrennicOneD& s) { return static_cast<double>(s.member); }

// clang-format off
inline constexpr std::array<TInputField, FieldCount> InputFields{{
    {"thickness", "--thickness", "Mirror Thickness", "mm", "mm", 1, 1000, false, u"50.8",
     {0, true, NoLimit}, "mirror thickness", BRENNIC_MEMBER(Thickness)},
    {"elements", "--elements", "Mirror Elements", "", "", 1, 1, true, u"50",
     {1, false, NoLimit}, "number of elements through the thickness", BRENNIC_MEMBER(ElementCount)},
    {"mirror-temp", "--mirror-temp", "Initial Mirror Temperature", "\u00b0C", "C", 1, 1, false, u"20",
     {LowestTemperature, false, HighestTemperature}, "initial mirror temperature", BRENNIC_MEMBER(InitialMirrorTemp)},
    {"air-start", "--air-start", "Initial Air Temperature", "\u00b0C", "C", 1, 1, false, u"10",
     {LowestTemperature, false, HighestTemperature}, "initial air temperature", BRENNIC_MEMBER(InitialAirTemp)},
    {"air-end", "--air-end", "Final Air Temperature", "\u00b0C", "C", 1, 1, false, u"10",
     {LowestTemperature, false, HighestTemperature}, "final air temperature", BRENNIC_MEMBER(FinalAirTemp)},
    {"duration", "--duration", "Simulation Duration", "min", "min", 60, 1, false, u"120",
     {0, false, NoLimit}, "simulated period", BRENNIC_MEMBER(Duration)},
    {"time-step", "--time-step", "Time Step", "s", "s", 1, 1, false, u"10",
     {0, true, NoLimit}, "time step", BRENNIC_MEMBER(TimeStep)},
    {"front-film", "--front-film", "Front Film Coefficient", "W/m\u00b2K", "W/m2K", 1, 1, false, u"10",
     {0, false, NoLimit}, "front film coefficient", BRENNIC_MEMBER(FrontFilmCoefficient)},
    {"back-film", "--back-film", "Back Film Coefficient", "W/m\u00b2K", "W/m2K", 1, 1, false, u"10",
     {0, false, NoLimit}, "back film coefficient", BRENNIC_MEMBER(BackFilmCoefficient)},
    {"front-radiation", "--front-radiation", "Front Radiation", "", "", 1, 1, false, u"0.04",
     {0, false, 1}, "front emissivity toward the sky, 0 to 1", BRENNIC_MEMBER(FrontRadiation)},
    {"back-radiation", "--back-radiation", "Back Radiation", "", "", 1, 1, false, u"0",
     {0, false, 1}, "back emissivity toward the sky, 0 to 1", BRENNIC_MEMBER(BackRadiation)},
    // The observing conditions, from which the film coefficients and the sky follow.
    {"diameter", "--diameter", "Mirror Diameter", "mm", "mm", 1, 1000, false, u"200",
     {10, false, 10000}, "mirror diameter", BRENNIC_MEMBER(Diameter)},
    {"altitude", "--altitude", "Telescope Altitude", "\u00b0", "degrees", 1, 1, false, u"90",
     {0, false, 90}, "where the telescope points, degrees above the horizon", BRENNIC_MEMBER(Altitude)},
    {"front-air-speed", "--front-air-speed", "Air Speed at the Front", "m/s", "m/s", 1, 1, false, u"0",
     {0, false, 50}, "air driven across the front by a fan or wind", BRENNIC_MEMBER(FrontAirSpeed)},
    {"back-air-speed", "--back-air-speed", "Air Speed at the Back", "m/s", "m/s", 1, 1, false, u"0",
     {0, false, 50}, "air driven across the back by a fan or wind", BRENNIC_MEMBER(BackAirSpeed)},
    {"films", "--films", "Film Coefficients", "", "", 1, 1, false, u"typed",
     {0, false, 1}, "typed (the two film coefficients) or conditions (computed every step)",
     BRENNIC_MEMBER(ComputedFilms), "typed|conditions"},
    {"sky", "--sky", "Sky", "", "", 1, 1, false, u"auto",
     {0, false, 3}, "auto (fixed, or the air file's sky column), fixed (black at -73 C), clear (from the dew point) "
     "or file", nullptr, nullptr, "auto|fixed|clear|file"},
    {"dew-point", "--dew-point", "Dew Point", "\u00b0C", "C", 1, 1, false, u"",
     {-100, false, 60}, "dew point when no air file gives one", nullptr, nullptr, nullptr, false, true},
    {"back-sees", "--back-sees", "Back Radiates to", "", "", 1, 1, false, u"auto",
     {0, false, 2}, "auto (the sky in the classic model, the surroundings in the physical one), sky, or "
     "surroundings at the air's temperature (a tube or a closed cell)", nullptr, nullptr, "auto|sky|surroundings"},
    {"tube-length", "--tube-length", "Tube beyond the Mirror", "mm", "mm", 1, 1000, false, u"0",
     {0, false, 100000}, "distance from the mirror's face to the tube's open end; 0: no tube",
     BRENNIC_MEMBER(TubeLength)},
    {"seeing", "--seeing", "Seeing Thresholds", "\u2033", "arcsec", 1, 1, false, u"0.5,0.25,0.1",
     {0, true, NoLimit}, "mirror seeing thresholds, comma-separated", nullptr, nullptr, nullptr, true},
    // The radiation model, and what only its physical form takes into account.
    {"radiation", "--radiation", "Radiation Model", "", "", 1, 1, false, u"auto",
     {0, false, 2}, "auto (physical when an input only it uses is set or the films come from the conditions), "
     "classic (4.67e-8 and 273 toward a black sky at 200 K) or physical (Stefan-Boltzmann, 273.15 K, the glass's "
     "emissivity at the back, the edge)", nullptr, nullptr, "auto|classic|physical"},
    {"edge", "--edge", "Edge", "", "", 1, 1, false, u"auto",
     {0, false, 2}, "the mirror's rim: auto (exposed in the physical model, absent in the classic one), exposed "
     "to the air and the surroundings, or insulated", nullptr, nullptr, "auto|exposed|insulated"},
    {"back-fan", "--back-fan", "Fan behind the Mirror", "mm, m/s, mm", "mm,m/s,mm", 1, 1, false, u"",
     {0, true, NoLimit}, "a fan blowing onto the back: its opening, mean exit speed and distance to the back, "
     "e.g. 80,2.5,180", nullptr, nullptr, nullptr, true, true},
    {"site-elevation", "--site-elevation", "Site Elevation", "m", "m", 1, 1, false, u"0",
     {0, false, 6000}, "height of the site above sea level: thinner air convects less",
     BRENNIC_MEMBER(SiteElevation)},
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

// The index of a choice field's text among its choices; -1 for none.
int ChoiceIndex(int field, std::u16string_view text);
// "typed or conditions", "auto, fixed, clear or file".
std::string ChoicesText(int field);
// Whether a text converts as the field's kind wants (a number, a whole
// number, one of the choices, a list of numbers, or empty where optional);
// the rule's range is not checked here.
bool FieldTextConverts(int field, std::u16string_view text, char16_t decimalSeparator);
// A list field's numbers: with "." decimals and "," between them, or where
// the decimal separator is a comma, "," decimals and ";" between them;
// empty when one does not convert.
std::vector<double> ListValues(std::u16string_view text, char16_t decimalSeparator = u'.');
// The items of a list as typed.
std::vector<std::string> ListItems(std::u16string_view text, char16_t decimalSeparator = u'.');
// The separator between a list's items for a decimal separator.
inline char16_t ListSeparatorFor(char16_t decimalSeparator)
{
    return decimalSeparator == u',' ? u';' : u',';
}
// A list in the other decimal form ("0.5,0.25" and "0,5;0,25"); as it was
// when an item does not convert.
std::u16string ListInDecimalForm(std::u16string_view text, char16_t from, char16_t to);
// A field's default as the user types it with this decimal separator.
std::u16string DefaultText(int field, char16_t decimalSeparator);

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
