// How long a time step the explicit radiation term of the solver tolerates.
#pragma once

#include "model/FiniteDiff_1D.h"

namespace brennic {

// Largest time step (s) for which the radiation of the faces, taken from the
// previous step's temperatures, cannot carry a face past its radiative
// equilibrium, for a disc whose faces are never warmer than hottestFace
// (degC). Uses the solver's thickness, element count, material and both
// emissivities; the film coefficients only ever help and are left out.
// Returns +infinity when nothing radiates.
double MaxStableTimeStep(const TBrennicOneD& solver, double hottestFace);

// The same limit's measure for a given time step: the fraction of a face's
// excess over the sky that one step of radiation removes from the glass it
// reaches (at most 1 inside the limit).
double RadiationStepFraction(const TBrennicOneD& solver, double hottestFace, double timeStep);

}  // namespace brennic
