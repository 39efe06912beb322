// A curve's value between its points, for a readout at any time or place.
#pragma once

#include "app/core/results/Decimator.h"

#include <optional>
#include <vector>

namespace brennic {

// The value at x, linear between the points about it (x in increasing
// order); none outside the curve's span or where it has no points.
std::optional<double> CurveValueAt(const std::vector<TPoint>& points, double x);

}  // namespace brennic
