#include "model/RadiationLimit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace brennic {

// One step of radiation removes q * dt from a face, with q convex in the
// face temperature: between the sky and the hottest face, q never exceeds
// (T - Tsky) * 4 * sigma * eps * Th^3. Explicitly, the step lowers the glass
// that takes up this loss by q * dt / (rho * c * D), where D is the depth
// over which the implicit conduction spreads it within the step. So the face
// cannot be carried past its equilibrium while
//     beta = 4 sigma (epsF + epsB) Th^3 dt / (rho c D) <= 1.
// The implicit step answers a loss at the face with a profile exp(-x / d),
// d = sqrt(k dt / (rho c)); a disc of thickness L holds it over
// d tanh(L / d), the whole disc once d is well beyond L. The mode that
// alternates from step to step, the one that overshoots, reaches half as
// deep, so D uses d / 2; a single element never holds less than itself.
// Both faces count together: when the loss reaches through the disc they
// drain the same glass. Checked against runs of the scheme: near the sky's
// temperature, runs 2 % beyond this limit overshoot and oscillate.
double RadiationStepFraction(const TBrennicOneD& s, double hottestFace, double dt)
{
    const double kelvin = std::max(0.0, hottestFace + 273);
    const double slope = 4 * RadiationConstant(s) * (s.FrontRadiation + s.BackRadiation) * kelvin * kelvin * kelvin;
    const double rhoC = s.Density * s.SpecificHeat;
    const double L = s.Thickness;
    const double dx = L / s.ElementCount;
    const double half = std::sqrt(s.Conductivity * dt / rhoC) / 2;
    const double depth = std::max(dx, half > 0 ? half * std::tanh(L / half) : 0.0);
    return slope * dt / (rhoC * depth);
}

double MaxStableTimeStep(const TBrennicOneD& s, double hottestFace)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    if (!(s.FrontRadiation + s.BackRadiation > 0) || !(hottestFace + 273 > 0))
        return inf;
    // The fraction grows with dt (at least like its square root): bisect on
    // a log scale over the whole range of time steps.
    double lo = 1e-300, hi = std::numeric_limits<double>::max();
    if (RadiationStepFraction(s, hottestFace, hi) <= 1)
        return inf;
    if (RadiationStepFraction(s, hottestFace, lo) > 1)
        return 0;
    for (int i = 0; i < 400 && hi - lo > lo * 1e-12; ++i) {
        const double mid = std::sqrt(lo) * std::sqrt(hi);
        (RadiationStepFraction(s, hottestFace, mid) <= 1 ? lo : hi) = mid;
    }
    return lo;
}

}  // namespace brennic
