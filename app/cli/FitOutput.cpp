#include "app/cli/FitOutput.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>

namespace brennic {

namespace {

std::string JsonKey(TFitParameter p)
{
    std::string key = FitParameterKey(p);
    for (char& c : key)
        if (c == '-')
            c = '_';
    return key;
}

}  // namespace

std::string FitTable(const TFitResult& f, const std::string& logFile)
{
    char line[160];
    std::string out = "Fitted to " + logFile + ": " + std::to_string(f.Points) + " points compared, " +
                      std::to_string(f.Evaluations) + " model runs\n";
    for (std::size_t i = 0; i < f.Parameters.size(); ++i) {
        std::snprintf(line, sizeof line, "  %-16s %10.4g +- %-10.2g%s\n", FitParameterKey(f.Parameters[i]), f.Values[i],
                      f.Uncertainties[i], f.PoorlyDetermined[i] ? "  (poorly determined by this log)" : "");
        out += line;
    }
    std::snprintf(line, sizeof line, "RMS difference: %.4g K before, %.4g K after\n", f.RmsBefore, f.RmsAfter);
    return out + line;
}

std::string FitJson(const TFitResult& f)
{
    using Json = nlohmann::ordered_json;
    Json fit = Json::object();
    Json uncertainty = Json::object();
    Json poor = Json::array();
    for (std::size_t i = 0; i < f.Parameters.size(); ++i) {
        const std::string key = JsonKey(f.Parameters[i]);
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
    return Json{{"fit", fit}}.dump();
}

}  // namespace brennic
