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
    // The film coefficients (W/m^2 K) of the step last computed.
    double FrontFilmUsed = 0, BackFilmUsed = 0;

    // The radiation term with the Stefan-Boltzmann constant and 273.15 K:
    // whenever the sky is not the classic black body at 200 K, a tube
    // shades the front or the back sees the surroundings.
    bool PhysicalRadiation() const
    {
        return SkyTemperature || ClearSkyDewPoint || TubeLength > 0 || BackSeesSurroundings;
    }

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
