// How brennic-sim prints a fit: a short table, or one JSON object.
#pragma once

#include "app/core/fit/Fit.h"
#include "app/core/fit/FitJson.h"

#include <string>

namespace brennic {

std::string FitTable(const TFitResult& fit, const std::string& logFile);

}  // namespace brennic
