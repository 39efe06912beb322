// A fit's result as JSON: the command line's --fit --json and each update
// of a live prediction write the same object.
#pragma once

#include "app/core/fit/Fit.h"

#include <nlohmann/json.hpp>

#include <string>

namespace brennic {

// "front_film", "back_film", ...: a parameter's key in JSON.
std::string FitJsonKey(TFitParameter p);
nlohmann::ordered_json FitJsonObject(const TFitResult& fit);
std::string FitJson(const TFitResult& fit);

}  // namespace brennic
