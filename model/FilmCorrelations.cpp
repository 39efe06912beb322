#include "model/FilmCorrelations.h"

#include <algorithm>
#include <cmath>

namespace brennic {

namespace {

constexpr double Pi = 3.14159265358979323846;

// Table values of dry air at 250 K and 300 K.
constexpr double LowKelvin = 250, HighKelvin = 300;
constexpr double LowConductivity = 0.0223, HighConductivity = 0.0263;
constexpr double LowViscosity = 11.44e-6, HighViscosity = 15.89e-6;
constexpr double LowPrandtl = 0.720, HighPrandtl = 0.707;

// Lloyd and Moran's regimes and coefficients.
constexpr double LaminarRayleighLimit = 1e7;
constexpr double UpperHotLaminar = 0.54, UpperHotTurbulent = 0.15, LowerHot = 0.27;

// The forced flow's transition Reynolds number.
constexpr double TransitionReynolds = 5e5;

double Linear(double kelvin, double low, double high)
{
    return low + (high - low) * (kelvin - LowKelvin) / (HighKelvin - LowKelvin);
}

}  // namespace

TAirProperties AirProperties(double kelvin)
{
    return {Linear(kelvin, LowConductivity, HighConductivity), Linear(kelvin, LowViscosity, HighViscosity),
            Linear(kelvin, LowPrandtl, HighPrandtl)};
}

double NaturalFilmCoefficient(double face, double air, double diameter, double altitude, TFaceSide side)
{
    const double film = (face + air) / 2 + CelsiusOffset;
    const TAirProperties p = AirProperties(film);
    const double beta = 1 / film;
    const double difference = std::fabs(face - air);
    const double buoyancy = StandardGravity * beta * difference * p.Prandtl / (p.KinematicViscosity * p.KinematicViscosity);
    const double tilt = altitude * Pi / 180;

    // Horizontal part: the upper face of a warm plate and the lower face of
    // a cold one shed plumes; the other two cases only a thin layer.
    const double lh = diameter / 4;
    const double rah = buoyancy * std::sin(tilt) * lh * lh * lh;
    const bool plume = side == TFaceSide::Front ? face > air : face < air;
    double nuh;
    if (!plume)
        nuh = LowerHot * std::pow(rah, 0.25);
    else if (rah <= LaminarRayleighLimit)
        nuh = UpperHotLaminar * std::pow(rah, 0.25);
    else
        nuh = UpperHotTurbulent * std::cbrt(rah);
    const double hh = nuh * p.Conductivity / lh;

    // Vertical part, over the whole diameter.
    const double rav = buoyancy * std::cos(tilt) * diameter * diameter * diameter;
    const double root =
        0.825 + 0.387 * std::pow(std::max(rav, 0.0), 1.0 / 6) /
                    std::pow(1 + std::pow(0.492 / p.Prandtl, 9.0 / 16), 8.0 / 27);
    const double hv = root * root * p.Conductivity / diameter;
    return std::max(hh, hv);
}

double ForcedFilmCoefficient(double face, double air, double diameter, double speed)
{
    if (!(speed > 0))
        return 0;
    const TAirProperties p = AirProperties((face + air) / 2 + CelsiusOffset);
    const double re = speed * diameter / p.KinematicViscosity;
    const double nu = re <= TransitionReynolds ? 0.664 * std::sqrt(re) * std::cbrt(p.Prandtl)
                                               : (0.037 * std::pow(re, 0.8) - 871) * std::cbrt(p.Prandtl);
    return nu * p.Conductivity / diameter;
}

double CombinedFilmCoefficient(double natural, double forced)
{
    return std::cbrt(natural * natural * natural + forced * forced * forced);
}

double ClearSkyTemperature(double air, double dewPoint)
{
    const double d = dewPoint / 100;
    const double emissivity = 0.711 + 0.56 * d + 0.73 * d * d;
    return std::pow(emissivity, 0.25) * (air + CelsiusOffset) - CelsiusOffset;
}

double TubeViewFactor(double tubeLength, double radius)
{
    if (!(tubeLength > 0))
        return 1;
    const double x = 2 + (tubeLength * tubeLength) / (radius * radius);
    return (x - std::sqrt(x * x - 4)) / 2;
}

}  // namespace brennic
