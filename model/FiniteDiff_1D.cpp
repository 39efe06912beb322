#include "model/FiniteDiff_1D.h"

#include "model/FilmCorrelations.h"

#include <cmath>
#include <limits>
#include <sstream>
#include <vector>

namespace brennic {

namespace {

std::string Describe(double v)
{
    std::ostringstream s;
    s.imbue(std::locale::classic());
    s.precision(17);
    s << v;
    return s.str();
}

[[noreturn]] void Refuse(const char* property, const std::string& value, const std::string& rule)
{
    throw EBrennicError(std::string(property) + " is " + value + "; " + rule);
}

void RequireFinite(const char* property, double v)
{
    if (!std::isfinite(v))
        Refuse(property, Describe(v), "it must be a finite number");
}

void RequirePositive(const char* property, double v)
{
    RequireFinite(property, v);
    if (!(v > 0))
        Refuse(property, Describe(v), "it must be greater than 0");
}

// Fourth power as the square of the square.
inline double Pow4(double x)
{
    const double s = x * x;
    return s * s;
}

// Clears a flag when the run ends, however it ends.
struct FlagReset {
    bool& flag;
    ~FlagReset() { flag = false; }
};

}  // namespace

double RadiationFlux(double t, double epsilon)
{
    return RadiationFlux(t, epsilon, 1.6e9);
}

double RadiationFlux(double t, double epsilon, double skyFourth)
{
    return (Pow4(t + 273) - skyFourth) * (4.67e-8 * epsilon);
}

double KelvinFourth(double t)
{
    return Pow4(t + 273);
}

double RadiationConstant(const TBrennicOneD& solver)
{
    return solver.PhysicalRadiation() ? StefanBoltzmann : 4.67e-8;
}

namespace {

// A face's film coefficient from the conditions: natural and forced
// convection at the face's last temperature and the air's new one.
// A fan blowing onto the back adds its jet by the same cube rule.
double ConditionsFilm(const TBrennicOneD& s, double face, double air, TFaceSide side, const TTilt& tilt,
                      double pressure)
{
    const double speed = side == TFaceSide::Front ? s.FrontAirSpeed : s.BackAirSpeed;
    const double natural = NaturalFilmCoefficient(face, air, s.Diameter, tilt, side, pressure);
    const double forced = ForcedFilmCoefficient(face, air, s.Diameter, speed, pressure);
    if (side == TFaceSide::Front || !(s.BackFanSpeed > 0))
        return CombinedFilmCoefficient(natural, forced);
    const double jet = ImpingingJetFilm(face, air, s.BackFanDiameter, s.BackFanSpeed, s.BackFanDistance,
                                        s.Diameter / 2, pressure)
                           .Coefficient;
    return CombinedFilmCoefficient(natural, forced, jet);
}


// The radiative fluxes (W/m^2) leaving both faces with the Stefan-Boltzmann
// constant: the front toward the sky through a tube's opening and toward the
// tube's wall at the air's temperature, the back toward the sky or the
// surroundings.
struct TPhysicalRadiation {
    double viewFactor;
    void Fluxes(const TBrennicOneD& s, double front, double back, double air, double sky, double& qFront,
                double& qBack) const
    {
        const double skyFourth = Pow4(sky + CelsiusOffset), airFourth = Pow4(air + CelsiusOffset);
        const double frontFourth = Pow4(front + CelsiusOffset), backFourth = Pow4(back + CelsiusOffset);
        qFront = s.FrontRadiation * StefanBoltzmann *
                 (viewFactor * (frontFourth - skyFourth) + (1 - viewFactor) * (frontFourth - airFourth));
        qBack = s.BackRadiation * StefanBoltzmann * (backFourth - (s.BackSeesSurroundings ? airFourth : skyFourth));
    }
};

}  // namespace

void TBrennicOneD::CheckInputs() const
{
    if (ElementCount < 1)
        Refuse("ElementCount", std::to_string(ElementCount), "at least one element is needed");
    RequirePositive("Thickness", Thickness);
    RequirePositive("Conductivity", Conductivity);
    RequirePositive("Density", Density);
    RequirePositive("SpecificHeat", SpecificHeat);
    RequireFinite("InitialMirrorTemp", InitialMirrorTemp);
    RequireFinite("InitialAirTemp", InitialAirTemp);
    RequireFinite("FinalAirTemp", FinalAirTemp);
    RequireFinite("Duration", Duration);
    RequireFinite("TimeStep", TimeStep);
    RequireFinite("FrontFilmCoefficient", FrontFilmCoefficient);
    RequireFinite("BackFilmCoefficient", BackFilmCoefficient);
    RequireFinite("FrontRadiation", FrontRadiation);
    RequireFinite("BackRadiation", BackRadiation);
    if (ComputedFilms) {
        RequirePositive("Diameter", Diameter);
        RequireFinite("Altitude", Altitude);
        RequireFinite("FrontAirSpeed", FrontAirSpeed);
        RequireFinite("BackAirSpeed", BackAirSpeed);
    }
    RequireFinite("TubeLength", TubeLength);
    if (TubeLength > 0)
        RequirePositive("Diameter", Diameter);
    RequireFinite("SiteElevation", SiteElevation);
    if (!(SiteElevation <= HighestSiteElevation))
        Refuse("SiteElevation", Describe(SiteElevation), "it must not be above 6000 m");
    if (EdgeInModel()) {
        RequirePositive("Diameter", Diameter);
        RequireFinite("EdgeEmissivity", EdgeEmissivity);
        RequireFinite("Altitude", Altitude);
    }
    if (ComputedFilms && BackFanSpeed > 0) {
        RequirePositive("BackFanDiameter", BackFanDiameter);
        RequirePositive("BackFanDistance", BackFanDistance);
    }
    if (Duration > 0) {
        if (!(TimeStep > 0))
            Refuse("TimeStep", Describe(TimeStep), "it must be greater than 0, or the run would never end");
        // The time is accumulated by repeated addition: a step below half a
        // unit in the last place of the duration would stop the clock.
        const double ulp = std::nextafter(Duration, std::numeric_limits<double>::infinity()) - Duration;
        if (TimeStep * 2 <= ulp)
            Refuse("TimeStep", Describe(TimeStep),
                   "it is too small to advance the time toward the duration of " + Describe(Duration) + " s");
    }
    // The coefficients below must stay finite for the elimination to mean anything.
    const double dx = Thickness / ElementCount;
    if (!std::isfinite((Conductivity * TimeStep) / ((dx * dx) * Density * SpecificHeat)) ||
        !std::isfinite(FrontFilmCoefficient / (Conductivity / dx)) ||
        !std::isfinite(BackFilmCoefficient / (Conductivity / dx)))
        throw EBrennicError("The inputs give coefficients beyond the floating-point range");
}

void TBrennicOneD::Execute()
{
    CheckInputs();

    CancelRequested = false;
    Running = true;
    FlagReset runningReset{Running};

    const std::size_t N = static_cast<std::size_t>(ElementCount);
    const std::size_t size = N + 2;

    // The nine working arrays live in one block, released on every path.
    std::vector<double> block(9 * size, 0.0);
    double* const positions = block.data();
    double* const temps = positions + size;
    double* const lower = temps + size;
    double* const diagonal = lower + size;
    double* const upper = diagonal + size;
    double* const rhs = upper + size;
    double* const sweepUpper = rhs + size;
    double* const sweepRhs = sweepUpper + size;
    double* const pivot = sweepRhs + size;

    const double L = Thickness;
    const double k = Conductivity;
    const double nElements = static_cast<double>(ElementCount);
    double frontBiot = FrontFilmCoefficient / (k / (L / nElements));
    double backBiot = BackFilmCoefficient / (k / (L / nElements));
    FrontFilmUsed = FrontFilmCoefficient;
    BackFilmUsed = BackFilmCoefficient;
    const bool physical = PhysicalRadiation();
    const bool edge = EdgeInModel();
    const TPhysicalRadiation radiation{TubeViewFactor(TubeLength, Diameter / 2)};
    const double pressure = PressureRatio(SiteElevation);
    const TTilt tilt = Tilt(Altitude);
    const bool varying = ComputedFilms || physical || edge;
    bool factorised = false;
    EdgeFilmUsed = 0;

    positions[0] = 0;
    for (std::size_t i = 1; i <= N; ++i) positions[i] = ((static_cast<double>(i) - 0.5) * L) / nElements;
    positions[N + 1] = L;

    const double dt = TimeStep;
    const double dx = L / nElements;
    const double fo = (k * dt) / (((dx * dx) * Density) * SpecificHeat);
    // Heat capacity of one element per unit face area, J/(m^2 K).
    const double elementCapacity = ((Density * SpecificHeat) * L) / nElements;

    double t = 0;
    for (std::size_t i = 1; i <= N; ++i) temps[i] = InitialMirrorTemp;
    temps[0] = AirTemperature ? AirTemperature(0.0) : InitialAirTemp;
    temps[N + 1] = temps[0];

    double glassSum = InitialMirrorTemp * nElements;  // of the elements, for the rim
    const std::span<const double> positionView(positions, size);
    const std::span<const double> tempView(temps, size);
    if (OnStep)
        OnStep(positionView, tempView, 0.0);

    while (t < Duration) {
        t = t + dt;
        // The ramp runs over the period; a last step that carries the time
        // past it finds the air at its final temperature.
        const double air = AirTemperature ? AirTemperature(t)
                           : t > Duration ? FinalAirTemp
                                          : InitialAirTemp + ((FinalAirTemp - InitialAirTemp) * t) / Duration;
        // The faces' radiation from the last step's temperatures.
        double frontFlux, backFlux;
        if (physical) {
            const double sky = ClearSkyDewPoint ? ClearSkyTemperature(air, ClearSkyDewPoint(t))
                               : SkyTemperature ? SkyTemperature(t)
                                                : FixedSkyKelvin - CelsiusOffset;
            radiation.Fluxes(*this, temps[1], temps[N], air, sky, frontFlux, backFlux);
        } else {
            const double sky = SkyTemperature ? KelvinFourth(SkyTemperature(t)) : 1.6e9;
            frontFlux = RadiationFlux(temps[1], FrontRadiation, sky);
            backFlux = RadiationFlux(temps[N], BackRadiation, sky);
        }
        if (ComputedFilms) {
            FrontFilmUsed = ConditionsFilm(*this, temps[1], air, TFaceSide::Front, tilt, pressure);
            BackFilmUsed = ConditionsFilm(*this, temps[N], air, TFaceSide::Back, tilt, pressure);
            frontBiot = FrontFilmUsed / (k / (L / nElements));
            backBiot = BackFilmUsed / (k / (L / nElements));
        }
        temps[0] = air;
        temps[N + 1] = air;

        // Physical radiation is linearised about the last step's temperature
        // and its slope taken implicitly (Patankar 1980, section 4.2-7): a
        // face then never radiates past the sky or the surroundings it sees,
        // however long the step.
        double frontSlope = 0, backSlope = 0;
        if (physical) {
            const double kf = temps[1] + CelsiusOffset, kb = temps[N] + CelsiusOffset;
            frontSlope = (4 * FrontRadiation * StefanBoltzmann * kf * kf * kf * dt) / elementCapacity;
            backSlope = (4 * BackRadiation * StefanBoltzmann * kb * kb * kb * dt) / elementCapacity;
        }
        // The rim takes h_edge (T_i - T_air) pi D dx from each element, per
        // unit of face area 4 h_edge (T_i - T_air) dx / D, implicitly.
        double rim = 0;
        if (edge) {
            EdgeFilmUsed = EdgeFilmCoefficient(glassSum / nElements, air, Diameter, L, tilt, EdgeEmissivity, k,
                                               pressure);
            rim = (4 * EdgeFilmUsed * dt) / ((Density * SpecificHeat) * Diameter);
        }

        // The matrix changes only with computed films, physical radiation
        // or the rim; else it is built and factorised once for the run.
        const bool refactor = varying || !factorised;
        if (refactor) {
            const double inner = 2 * fo + 1;
            for (std::size_t i = 1; i <= N; ++i) {
                diagonal[i] = inner;
                lower[i] = fo;
                upper[i] = fo;
                rhs[i] = temps[i];
            }
            if (edge)
                for (std::size_t i = 1; i <= N; ++i) {
                    diagonal[i] += rim;
                    rhs[i] += rim * air;
                }
            // Front face: convection through the film and half an element;
            // the back mirrors it.
            lower[1] = frontBiot == 0 ? 0 : fo / (1 / frontBiot + 0.5);
            diagonal[1] = (1 + fo) + lower[1];
            upper[N] = backBiot == 0 ? 0 : fo / (1 / backBiot + 0.5);
            if (N == 1) {
                // A lone element has no neighbour: both faces couple it to the air.
                diagonal[1] = (1 + lower[1]) + upper[1];
            } else {
                diagonal[N] = (1 + fo) + upper[N];
            }
            if (edge) {
                diagonal[1] += rim;
                if (N > 1)
                    diagonal[N] += rim;
            }
            if (physical) {
                diagonal[1] += frontSlope;
                diagonal[N] += backSlope;
            }
        } else {
            for (std::size_t i = 1; i <= N; ++i) rhs[i] = temps[i];
        }
        rhs[1] = rhs[1] - (frontFlux * dt) / elementCapacity;
        rhs[N] = rhs[N] - (backFlux * dt) / elementCapacity;
        if (physical) {
            rhs[1] += frontSlope * temps[1];
            rhs[N] += backSlope * temps[N];
        }

        // Thomas algorithm: the forward elimination's pivots and upper
        // coefficients (kept while the matrix stays), the forward sweep of the
        // known side, then back substitution.
        sweepRhs[0] = temps[0];
        if (refactor && varying) {
            // A matrix of this step only: one division per element.
            // The recursions carried in registers, not through memory.
            double carriedUpper = 0, carriedRhs = sweepRhs[0];
            for (std::size_t i = 1; i <= N; ++i) {
                const double inverse = 1 / (diagonal[i] - lower[i] * carriedUpper);
                carriedUpper = upper[i] * inverse;
                carriedRhs = (lower[i] * carriedRhs + rhs[i]) * inverse;
                sweepUpper[i] = carriedUpper;
                sweepRhs[i] = carriedRhs;
            }
        } else if (refactor) {
            sweepUpper[0] = 0;
            for (std::size_t i = 1; i <= N; ++i) {
                pivot[i] = diagonal[i] - lower[i] * sweepUpper[i - 1];
                sweepUpper[i] = upper[i] / pivot[i];
                sweepRhs[i] = (lower[i] * sweepRhs[i - 1] + rhs[i]) / pivot[i];
            }
            factorised = true;
        } else {
            double carried = sweepRhs[0];
            for (std::size_t i = 1; i <= N; ++i) sweepRhs[i] = carried = (lower[i] * carried + rhs[i]) / pivot[i];
        }
        // x * 0 is 0 for every finite x and NaN otherwise, so one sum tells
        // whether any element left the floating-point range.
        double poison = 0;
        glassSum = 0;
        double next = temps[N + 1];
        for (std::size_t i = N; i >= 1; --i) {
            temps[i] = next = sweepUpper[i] * next + sweepRhs[i];
            poison += next * 0;
            glassSum += next;
        }
        if (std::isnan(poison))
            throw EBrennicError("The temperatures are no longer finite numbers at time " + Describe(t) +
                                " s; the run was stopped");

        if (OnStep)
            OnStep(positionView, tempView, t);
        if (CancelRequested)
            break;
    }
}

}  // namespace brennic
