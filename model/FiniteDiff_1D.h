// One-dimensional implicit finite-difference model of a glass disc that
// follows the air temperature: the materials table and the solver.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brennic {

// The model's own error: a refused input or a run that cannot be carried out.
class EBrennicError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The solver's radiation offset is 273: nothing below that is a temperature.
// Glass softens long before the upper bound; beyond it the fourth power of
// the radiation term would leave the floating-point range. degC.
inline constexpr double LowestTemperature = -273;
inline constexpr double HighestTemperature = 1000;

struct TGlassProperties {
    std::string_view Name;
    double Conductivity;  // W/(m K)
    double Density;       // kg/m^3
    double SpecificHeat;  // J/(kg K)
};

inline constexpr int GlassMaterialCount = 6;

inline constexpr std::array<TGlassProperties, GlassMaterialCount> GlassMaterials{{
    {"Pyrex", 1.13, 2230, 726},
    {"Plate glass", 0.75, 2520, 730},
    {"BK7", 1.11, 2510, 850},
    {"Fused silica", 1.38, 2200, 700},
    {"Zerodur", 1.46, 2530, 800},
    {"Suprax", 1.2, 2310, 730},
}};

// Positions (m), temperatures (degC) and the time (s) of one reported state.
// Both arrays hold N + 2 entries: the air node at the front, the N element
// centres, the air node at the back. They are valid for the call only.
// Each glass's hemispherical emissivity in the thermal infrared, in the
// order of the table above: uncoated glass is nearly black there. Thick
// sheets near room temperature (Sasaki, Kou, Masuda and Kiyohashi 2003-2007,
// High Temp.-High Pressures 35/36: fused silica, soda-lime and borosilicate
// sheets; their thick-sheet values, rounded): borosilicate (Pyrex, Suprax)
// 0.90, soda-lime plate glass and the crown BK7 0.92, fused silica 0.93, the
// glass-ceramic Zerodur 0.91.
inline constexpr std::array<double, GlassMaterialCount> GlassEmissivities{{0.90, 0.92, 0.92, 0.93, 0.91, 0.90}};

// Which radiation term the faces use: the classic one (a coefficient of
// 4.67e-8 and an offset of 273, toward a black sky at 200 K), or the
// physical one (the Stefan-Boltzmann constant and 273.15 K, toward the sky,
// a tube's wall or the surroundings). Inferred: physical whenever an input
// that only it uses is set.
enum class TRadiationModel { Inferred, Classic, Physical };

using TStepEvent =
    std::function<void(std::span<const double> positions, std::span<const double> temperatures, double time)>;

class TBrennicOneD {
public:
    double Thickness = 0;  // m
    std::int32_t ElementCount = 0;
    double InitialMirrorTemp = 0;  // degC
    double InitialAirTemp = 0;     // degC
    double FinalAirTemp = 0;       // degC
    double Duration = 0;           // s
    double TimeStep = 0;           // s
    TStepEvent OnStep;
    bool Running = false;
    bool CancelRequested = false;
    double BackFilmCoefficient = 0;   // W/(m^2 K)
    double FrontFilmCoefficient = 0;  // W/(m^2 K)
    double FrontRadiation = 0;        // emissivity toward the sky
    double BackRadiation = 0;
    double Conductivity = 0;  // W/(m K)
    double SpecificHeat = 0;  // J/(kg K)
    double Density = 0;       // kg/m^3

    // The air (degC) at a time (s) of the run, in place of the linear ramp
    // from InitialAirTemp to FinalAirTemp; and the sky's effective
    // temperature (degC) in place of a black sky at 200 K. Empty: ramp, 200 K.
    std::function<double(double time)> AirTemperature;
    std::function<double(double time)> SkyTemperature;

    // Boundary conditions from the observing conditions. Off (the default),
    // the typed film coefficients and the classic radiation term hold.
    bool ComputedFilms = false;  // film coefficients from the correlations, every step
    double Diameter = 0;         // m
    double Altitude = 0;         // degrees above the horizon
    double FrontAirSpeed = 0;    // m/s, driven across the face by a fan or wind
    double BackAirSpeed = 0;
    double TubeLength = 0;              // m, from the face to the tube's open end; 0: none
    bool BackSeesSurroundings = false;  // the back radiates to a black body at the air's temperature
    // The dew point (degC) at a time: the sky is then the clear night sky.
    std::function<double(double time)> ClearSkyDewPoint;
    TRadiationModel Radiation = TRadiationModel::Inferred;
    // The rim (physical radiation only): it exchanges heat with the air and
    // the surroundings through every element, at this emissivity.
    bool EdgeExposed = false;
    double EdgeEmissivity = 0;
    // A fan blowing onto the back (film coefficients from the conditions):
    // its opening (m), mean exit speed (m/s) and distance to the back (m).
    double BackFanDiameter = 0, BackFanSpeed = 0, BackFanDistance = 0;
    double SiteElevation = 0;  // m above sea level: thinner air convects less
    // The film coefficients (W/m^2 K) of the step last computed; the rim's
    // is per unit of rim area.
    double FrontFilmUsed = 0, BackFilmUsed = 0, EdgeFilmUsed = 0;

    // The radiation term with the Stefan-Boltzmann constant and 273.15 K:
    // chosen so, or inferred whenever the sky is not the classic black body
    // at 200 K, a tube shades the front or the back sees the surroundings.
    bool PhysicalRadiation() const
    {
        if (Radiation != TRadiationModel::Inferred)
            return Radiation == TRadiationModel::Physical;
        return SkyTemperature || ClearSkyDewPoint || TubeLength > 0 || BackSeesSurroundings;
    }
    // Whether the rim takes part: exposed, and with physical radiation.
    bool EdgeInModel() const { return EdgeExposed && PhysicalRadiation(); }

    // Runs the whole period synchronously, reporting the initial state and
    // every step through OnStep. Throws EBrennicError, before anything
    // changes, when an input cannot give a meaningful, finite run.
    void Execute();

    // Asks a run in progress to stop after the step being reported.
    void Cancel() { CancelRequested = true; }

    // Throws EBrennicError naming the first input that breaks a precondition.
    void CheckInputs() const;
};

// Radiative flux (W/m^2) leaving a face at temperature t (degC) toward a sky
// at 200 K, for an emissivity factor epsilon, as the solver computes it; and
// toward a sky whose (T + 273)^4 is skyFourth.
double RadiationFlux(double t, double epsilon);
double RadiationFlux(double t, double epsilon, double skyFourth);

// (t + 273)^4 as the radiation term computes it.
double KelvinFourth(double t);

// The constant of the radiation term in use: the classic 4.67e-8, or the
// Stefan-Boltzmann constant for physical radiation.
double RadiationConstant(const TBrennicOneD& solver);

}  // namespace brennic
