// The distances to the air (degC) that readiness is asked about unless the
// user chooses others.
#pragma once

#include <vector>

namespace brennic {

inline const std::vector<double> DefaultTolerances{1.0, 0.5, 0.1};

}  // namespace brennic
