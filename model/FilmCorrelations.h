// Film coefficients and skies from what an observer knows: the mirror's
// diameter, where the telescope points, the air driven across each face,
// the air and its dew point. Temperatures in degC, lengths in m.
#pragma once

namespace brennic {

inline constexpr double StandardGravity = 9.81;          // m/s^2
inline constexpr double StefanBoltzmann = 5.670374419e-8;  // W/(m^2 K^4), CODATA 2018
inline constexpr double CelsiusOffset = 273.15;           // K at 0 degC
inline constexpr double FixedSkyKelvin = 200;             // the black sky of the classic model

// The temperatures (degC) between which the correlations are used: far
// below, the viscosity's linear extrapolation would reach zero.
inline constexpr double ConditionsLowestTemperature = -100;
inline constexpr double ConditionsHighestTemperature = 200;

// Dry air near atmospheric pressure, linear in the absolute temperature
// through the table values at 250 K and 300 K (Incropera and DeWitt 2002,
// table A.4), extrapolated outside them.
struct TAirProperties {
    double Conductivity;       // k, W/(m K)
    double KinematicViscosity;  // nu, m^2/s
    double Prandtl;            // Pr
};
// At a site above sea level the air is thinner: the kinematic viscosity
// grows as the pressure falls; conductivity and Prandtl number stay.
TAirProperties AirProperties(double kelvin, double pressureRatio = 1);

// The pressure at an elevation (m) as a fraction of sea level's 101325 Pa:
// the standard atmosphere's troposphere, p = p0 (1 - 2.25577e-5 z)^5.25588
// (U.S. Standard Atmosphere 1976).
inline constexpr double HighestSiteElevation = 6000;  // m
double PressureRatio(double elevation);

// Which way a face looks: the front (optical) face up, the back face down,
// for a telescope pointing at the zenith.
enum class TFaceSide { Front, Back };

// Where the telescope points, as the correlations use it: the sine and
// cosine of the altitude, computed once for a run.
struct TTilt {
    double Sin = 1, Cos = 0;
};
TTilt Tilt(double altitude);  // degrees above the horizon

// Natural convection of one face of a disc of the given diameter tilted to
// an altitude (degrees above the horizon), from the face's and the air's
// temperatures: the larger of a horizontal plate's (Lloyd and Moran 1974,
// length = area / perimeter = D/4) and a vertical plate's (Churchill and
// Chu 1975, length D) coefficients. W/(m^2 K).
double NaturalFilmCoefficient(double face, double air, double diameter, double altitude, TFaceSide side,
                              double pressureRatio = 1);
double NaturalFilmCoefficient(double face, double air, double diameter, const TTilt& tilt, TFaceSide side,
                              double pressureRatio = 1);

// Forced convection of air at a speed (m/s) along a plate of length D:
// laminar (Pohlhausen 1921) or mixed (Incropera and DeWitt 2002, eq. 7.38).
double ForcedFilmCoefficient(double face, double air, double diameter, double speed, double pressureRatio = 1);

// A round jet blowing onto a face (a fan behind the mirror), averaged over
// the face's radius (Martin 1977, single round nozzle):
//   Nu = Pr^0.42 G 2 Re^(1/2) (1 + 0.005 Re^0.55)^(1/2),
//   G = 2 sqrt(Ar) (1 - 2.2 sqrt(Ar)) / (1 + 0.2 (H/D - 6) sqrt(Ar)),
//   Ar = D^2 / (4 r^2), Re = V D / nu, h = Nu k / D,
// with D the fan's opening, V its mean exit speed and H its distance to the
// face. Measured for 2e3 <= Re <= 4e5, 2 <= H/D <= 12, 2.5 <= r/D <= 7.9:
// outside, H/D and r/D are taken at the nearest end of their range.
struct TJetFilm {
    double Coefficient = 0;   // W/(m^2 K)
    bool DistanceClamped = false, RadiusClamped = false, ReynoldsOutside = false;
};
inline constexpr double JetLowestReynolds = 2e3, JetHighestReynolds = 4e5;
inline constexpr double JetLowestDistance = 2, JetHighestDistance = 12;  // H/D
inline constexpr double JetLowestRadius = 2.5, JetHighestRadius = 7.9;   // r/D
TJetFilm ImpingingJetFilm(double face, double air, double fanDiameter, double speed, double distance, double radius,
                          double pressureRatio = 1);

// The rim of a disc of diameter D and thickness L at its mean temperature:
// natural convection on a vertical surface of height L (Churchill and Chu
// 1975, g sin(altitude)) or around a horizontal cylinder of diameter D
// (Churchill and Chu 1975, g cos(altitude)), the larger; radiation to
// surroundings at the air's temperature, h_r = eps sigma (Tm^4 - Ta^4) /
// (Tm - Ta); both in series with the radial conduction from the disc's mean
// to its rim, D / (8 k). W/(m^2 K) of rim.
double EdgeConvection(double glass, double air, double diameter, double thickness, const TTilt& tilt,
                      double pressureRatio = 1);
inline double EdgeConvection(double glass, double air, double diameter, double thickness, double altitude,
                             double pressureRatio = 1)
{
    return EdgeConvection(glass, air, diameter, thickness, Tilt(altitude), pressureRatio);
}
double EdgeRadiation(double glass, double air, double emissivity);
double EdgeFilmCoefficient(double glass, double air, double diameter, double thickness, const TTilt& tilt,
                           double emissivity, double conductivity, double pressureRatio = 1);
inline double EdgeFilmCoefficient(double glass, double air, double diameter, double thickness, double altitude,
                                  double emissivity, double conductivity, double pressureRatio = 1)
{
    return EdgeFilmCoefficient(glass, air, diameter, thickness, Tilt(altitude), emissivity, conductivity,
                               pressureRatio);
}

// Natural and forced convection combined (Churchill 1977): the cube root of
// the sum of their cubes.
// A jet striking the face (a fan behind the mirror) adds its cube too.
double CombinedFilmCoefficient(double natural, double forced, double jet = 0);

// The clear night sky's effective temperature from the air and the dew
// point (Berdahl and Martin 1984).
double ClearSkyTemperature(double air, double dewPoint);

// View factor from a disc to a coaxial disc of the same radius at a distance
// (Howell 2010, configuration C-41): what a mirror at the bottom of a tube
// sees of the sky through the opening. 1 for no tube.
double TubeViewFactor(double tubeLength, double radius);

}  // namespace brennic
