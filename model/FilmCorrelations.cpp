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

// The standard atmosphere's pressure with height: p/p0 = (1 - a z)^b.
constexpr double StandardAtmosphereLapse = 2.25577e-5;  // 1/m
constexpr double StandardAtmosphereExponent = 5.25588;

// Churchill and Chu's constants: the vertical plate's and the horizontal
// cylinder's leading term and Prandtl scale.
constexpr double PlateLead = 0.825, PlatePrandtl = 0.492;
constexpr double CylinderLead = 0.60, CylinderPrandtl = 0.559;

// The forced flow's transition Reynolds number.
constexpr double TransitionReynolds = 5e5;

double Linear(double kelvin, double low, double high)
{
    return low + (high - low) * (kelvin - LowKelvin) / (HighKelvin - LowKelvin);
}

// Churchill and Chu's Nusselt number, {lead + 0.387 Ra^(1/6) / [1 + (c/Pr)^(9/16)]^(8/27)}^2.
double ChurchillChu(double rayleigh, double prandtl, double lead, double prandtlScale)
{
    // Ra^(1/6) as the cube root of the square root: exact, and cheaper than pow.
    const double root = lead + 0.387 * std::cbrt(std::sqrt(std::max(rayleigh, 0.0))) /
                                   std::pow(1 + std::pow(prandtlScale / prandtl, 9.0 / 16), 8.0 / 27);
    return root * root;
}

}  // namespace

TAirProperties AirProperties(double kelvin, double pressureRatio)
{
    const double nu = Linear(kelvin, LowViscosity, HighViscosity);
    return {Linear(kelvin, LowConductivity, HighConductivity), pressureRatio == 1 ? nu : nu / pressureRatio,
            Linear(kelvin, LowPrandtl, HighPrandtl)};
}

double PressureRatio(double elevation)
{
    return std::pow(1 - StandardAtmosphereLapse * elevation, StandardAtmosphereExponent);
}

TTilt Tilt(double altitude)
{
    const double angle = altitude * Pi / 180;
    return {std::sin(angle), std::cos(angle)};
}

double NaturalFilmCoefficient(double face, double air, double diameter, double altitude, TFaceSide side,
                              double pressureRatio)
{
    return NaturalFilmCoefficient(face, air, diameter, Tilt(altitude), side, pressureRatio);
}

double NaturalFilmCoefficient(double face, double air, double diameter, const TTilt& tilt, TFaceSide side,
                              double pressureRatio)
{
    const double film = (face + air) / 2 + CelsiusOffset;
    const TAirProperties p = AirProperties(film, pressureRatio);
    const double beta = 1 / film;
    const double difference = std::fabs(face - air);
    const double buoyancy = StandardGravity * beta * difference * p.Prandtl / (p.KinematicViscosity * p.KinematicViscosity);

    // Horizontal part: the upper face of a warm plate and the lower face of
    // a cold one shed plumes; the other two cases only a thin layer.
    const double lh = diameter / 4;
    const double rah = buoyancy * tilt.Sin * lh * lh * lh;
    const bool plume = side == TFaceSide::Front ? face > air : face < air;
    double nuh;
    if (!plume)
        nuh = LowerHot * std::sqrt(std::sqrt(rah));
    else if (rah <= LaminarRayleighLimit)
        nuh = UpperHotLaminar * std::sqrt(std::sqrt(rah));
    else
        nuh = UpperHotTurbulent * std::cbrt(rah);
    const double hh = nuh * p.Conductivity / lh;

    // Vertical part, over the whole diameter.
    const double rav = buoyancy * tilt.Cos * diameter * diameter * diameter;
    const double hv = ChurchillChu(rav, p.Prandtl, PlateLead, PlatePrandtl) * p.Conductivity / diameter;
    return std::max(hh, hv);
}

double ForcedFilmCoefficient(double face, double air, double diameter, double speed, double pressureRatio)
{
    if (!(speed > 0))
        return 0;
    const TAirProperties p = AirProperties((face + air) / 2 + CelsiusOffset, pressureRatio);
    const double re = speed * diameter / p.KinematicViscosity;
    const double nu = re <= TransitionReynolds ? 0.664 * std::sqrt(re) * std::cbrt(p.Prandtl)
                                               : (0.037 * std::pow(re, 0.8) - 871) * std::cbrt(p.Prandtl);
    return nu * p.Conductivity / diameter;
}

TJetFilm ImpingingJetFilm(double face, double air, double fanDiameter, double speed, double distance, double radius,
                          double pressureRatio)
{
    TJetFilm jet;
    if (!(speed > 0) || !(fanDiameter > 0))
        return jet;
    const TAirProperties p = AirProperties((face + air) / 2 + CelsiusOffset, pressureRatio);
    const double re = speed * fanDiameter / p.KinematicViscosity;
    jet.ReynoldsOutside = !(re >= JetLowestReynolds && re <= JetHighestReynolds);
    const double h = std::clamp(distance / fanDiameter, JetLowestDistance, JetHighestDistance);
    const double r = std::clamp(radius / fanDiameter, JetLowestRadius, JetHighestRadius);
    jet.DistanceClamped = h != distance / fanDiameter;
    jet.RadiusClamped = r != radius / fanDiameter;
    // Ar = D^2 / (4 r^2), so sqrt(Ar) = 1 / (2 r/D).
    const double rootAr = 1 / (2 * r);
    const double g = 2 * rootAr * (1 - 2.2 * rootAr) / (1 + 0.2 * (h - 6) * rootAr);
    const double f = 2 * std::sqrt(re) * std::sqrt(1 + 0.005 * std::pow(re, 0.55));
    jet.Coefficient = std::pow(p.Prandtl, 0.42) * g * f * p.Conductivity / fanDiameter;
    return jet;
}

double EdgeConvection(double glass, double air, double diameter, double thickness, const TTilt& tilt,
                      double pressureRatio)
{
    const double film = (glass + air) / 2 + CelsiusOffset;
    const TAirProperties p = AirProperties(film, pressureRatio);
    const double buoyancy =
        StandardGravity / film * std::fabs(glass - air) * p.Prandtl / (p.KinematicViscosity * p.KinematicViscosity);
    // Pointing up, the rim stands as a band of height L; toward the horizon
    // it lies as a cylinder of diameter D.
    const double band = ChurchillChu(buoyancy * tilt.Sin * thickness * thickness * thickness, p.Prandtl,
                                     PlateLead, PlatePrandtl) *
                        p.Conductivity / thickness;
    const double cylinder = ChurchillChu(buoyancy * tilt.Cos * diameter * diameter * diameter, p.Prandtl,
                                         CylinderLead, CylinderPrandtl) *
                            p.Conductivity / diameter;
    return std::max(band, cylinder);
}

double EdgeRadiation(double glass, double air, double emissivity)
{
    // (Tm^4 - Ta^4) / (Tm - Ta) without the division: (Tm^2 + Ta^2)(Tm + Ta).
    const double tm = glass + CelsiusOffset, ta = air + CelsiusOffset;
    return emissivity * StefanBoltzmann * (tm * tm + ta * ta) * (tm + ta);
}

double EdgeFilmCoefficient(double glass, double air, double diameter, double thickness, const TTilt& tilt,
                           double emissivity, double conductivity, double pressureRatio)
{
    const double surface = EdgeConvection(glass, air, diameter, thickness, tilt, pressureRatio) +
                           EdgeRadiation(glass, air, emissivity);
    return 1 / (1 / surface + diameter / (8 * conductivity));
}

double CombinedFilmCoefficient(double natural, double forced, double jet)
{
    // Without forced flow the cube root would give natural back.
    if (forced == 0 && jet == 0)
        return natural;
    return std::cbrt(natural * natural * natural + forced * forced * forced + jet * jet * jet);
}

double ClearSkyTemperature(double air, double dewPoint)
{
    const double d = dewPoint / 100;
    const double emissivity = 0.711 + 0.56 * d + 0.73 * d * d;
    return std::sqrt(std::sqrt(emissivity)) * (air + CelsiusOffset) - CelsiusOffset;
}

double TubeViewFactor(double tubeLength, double radius)
{
    if (!(tubeLength > 0))
        return 1;
    const double x = 2 + (tubeLength * tubeLength) / (radius * radius);
    return (x - std::sqrt(x * x - 4)) / 2;
}

}  // namespace brennic
