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
TAirProperties AirProperties(double kelvin);

// Which way a face looks: the front (optical) face up, the back face down,
// for a telescope pointing at the zenith.
enum class TFaceSide { Front, Back };

// Natural convection of one face of a disc of the given diameter tilted to
// an altitude (degrees above the horizon), from the face's and the air's
// temperatures: the larger of a horizontal plate's (Lloyd and Moran 1974,
// length = area / perimeter = D/4) and a vertical plate's (Churchill and
// Chu 1975, length D) coefficients. W/(m^2 K).
double NaturalFilmCoefficient(double face, double air, double diameter, double altitude, TFaceSide side);

// Forced convection of air at a speed (m/s) along a plate of length D:
// laminar (Pohlhausen 1921) or mixed (Incropera and DeWitt 2002, eq. 7.38).
double ForcedFilmCoefficient(double face, double air, double diameter, double speed);

// Natural and forced convection combined (Churchill 1977): the cube root of
// the sum of their cubes.
double CombinedFilmCoefficient(double natural, double forced);

// The clear night sky's effective temperature from the air and the dew
// point (Berdahl and Martin 1984).
double ClearSkyTemperature(double air, double dewPoint);

// View factor from a disc to a coaxial disc of the same radius at a distance
// (Howell 2010, configuration C-41): what a mirror at the bottom of a tube
// sees of the sky through the opening. 1 for no tube.
double TubeViewFactor(double tubeLength, double radius);

}  // namespace brennic
