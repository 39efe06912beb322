// The readiness's JSON pieces, shared by the summary and the sweep rows.
#pragma once

#include "app/core/results/Readiness.h"

#include <nlohmann/json.hpp>

namespace brennic {

// {"surface": [minutes or null per tolerance], "back": [...], "glass": [...]}
nlohmann::ordered_json ReadyMinutesJson(const TReadiness& r);
// The whole summary object of a readiness (tolerances, ready minutes,
// largest difference, final values).
nlohmann::ordered_json ReadinessObject(const TReadiness& r);
// {"kelvin": front minus back, "minutes": when}
nlohmann::ordered_json LargestDifferenceJson(const TReadiness& r);

}  // namespace brennic
