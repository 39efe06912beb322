// Inputs that are allowed but unlikely for a telescope mirror: the run goes
// ahead and the notes say what looks wrong and why it matters.
#pragma once

#include "app/core/inputs/InputFields.h"
#include "model/FiniteDiff_1D.h"

#include <string>
#include <vector>

namespace brennic {

// A mirror thinner than this is almost certainly a unit slip (metres or
// inches typed into a millimetre field).
inline constexpr double ThinnestLikelyMirror = 0.003;  // m
// A disc thicker than a third of its diameter loses a share of its heat
// through the edge that a model through the thickness treats only roughly.
inline constexpr double ThickestLikelyAspect = 1.0 / 3.0;
// Fewer than ten steps make coarse curves and ready times.
inline constexpr double FewestLikelySteps = 10;

std::vector<std::string> PlausibilityNotes(const TBrennicOneD& solver, TFieldNaming naming);

}  // namespace brennic
