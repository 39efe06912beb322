#include "app/core/fit/FitJson.h"

#include <cmath>

namespace brennic {

std::string FitJsonKey(TFitParameter p)
{
    std::string key = FitParameterKey(p);
    for (char& c : key)
        if (c == '-')
            c = '_';
    return key;
}

nlohmann::ordered_json FitJsonObject(const TFitResult& f)
{
    using Json = nlohmann::ordered_json;
    Json fit = Json::object();
    Json uncertainty = Json::object();
    Json poor = Json::array();
    for (std::size_t i = 0; i < f.Parameters.size(); ++i) {
        const std::string key = FitJsonKey(f.Parameters[i]);
        fit[key] = f.Values[i];
        uncertainty[key] = std::isfinite(f.Uncertainties[i]) ? Json(f.Uncertainties[i]) : Json(nullptr);
        if (f.PoorlyDetermined[i])
            poor.push_back(key);
    }
    fit["rms_before"] = f.RmsBefore;
    fit["rms_after"] = f.RmsAfter;
    fit["points"] = f.Points;
    fit["evaluations"] = f.Evaluations;
    fit["uncertainty"] = uncertainty;
    fit["poorly_determined"] = poor;
    Json parameters = Json::object();
    for (std::size_t i = 0; i < f.Parameters.size(); ++i) {
        const bool finite = std::isfinite(f.Uncertainties[i]);
        parameters[FitJsonKey(f.Parameters[i])] = {{"value", f.Values[i]},
                                                {"uncertainty", finite ? Json(f.Uncertainties[i]) : Json(nullptr)},
                                                {"unit", FitParameterUnit(f.Parameters[i], false)},
                                                {"poorly_determined", bool(f.PoorlyDetermined[i])}};
    }
    Json out = {{"fit", fit}};
    out["parameters"] = parameters;
    out["correlation"] = f.Correlation;
    out["degrees_of_freedom"] = f.DegreesOfFreedom;
    out["noise_estimate"] = f.NoiseEstimate;
    out["residual_autocorrelation"] = f.ResidualAutocorrelation;
    out["warnings"] = f.Warnings;
    return out;
}


std::string FitJson(const TFitResult& f)
{
    return FitJsonObject(f).dump();
}

}  // namespace brennic
