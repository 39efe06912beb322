#include "app/core/results/Readiness.h"

#include "app/core/results/ReadinessJson.h"

#include "app/core/results/OutputColumns.h"

#include "model/FiniteDiff_1D.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>

namespace brennic {

TReadiness::TReadiness(std::vector<double> tolerances) : tolerances_(std::move(tolerances))
{
    Clear();
}

void TReadiness::SetSeeing(std::vector<double> thresholds)
{
    seeing_ = std::move(thresholds);
    seeingFrom_.assign(seeing_.size(), std::nullopt);
}

double MirrorSeeing(const TStepValues& v)
{
    const double excess = v.Surface - v.Air;
    return excess > 0 ? MirrorSeeingPerKelvin * std::pow(excess, MirrorSeeingExponent) : 0;
}

void TReadiness::Clear()
{
    seeingFrom_.assign(seeing_.size(), std::nullopt);
    for (auto& part : readyFrom_) part.assign(tolerances_.size(), std::nullopt);
    belowAir_ = 0;
    largestDifference_ = 0;
    largestDifferenceTime_ = 0;
    last_ = {};
    reports_ = 0;
}

double AboveAir(const TStepValues& v, TReadiness::Part part)
{
    switch (part) {
    case TReadiness::Surface: return v.Surface - v.Air;
    case TReadiness::Back: return v.Back - v.Air;
    default: return v.Glass;
    }
}

void TReadiness::Add(const TStepValues& v)
{
    for (int p = 0; p < PartCount; ++p) {
        const double gap = AboveAir(v, Part(p));
        for (std::size_t k = 0; k < tolerances_.size(); ++k) {
            // Empty while outside; set on the report that comes back inside.
            if (!(gap <= tolerances_[k]))
                readyFrom_[p][k].reset();
            else if (!readyFrom_[p][k])
                readyFrom_[p][k] = v.Time;
        }
    }
    if (!seeing_.empty()) {
        const double blur = MirrorSeeing(v);
        for (std::size_t k = 0; k < seeing_.size(); ++k) {
            if (!(blur <= seeing_[k]))
                seeingFrom_[k].reset();
            else if (!seeingFrom_[k])
                seeingFrom_[k] = v.Time;
        }
    }
    // Below the air after the surface is ready: the sky's doing, harmless.
    const double surfaceGap = v.Surface - v.Air;
    double loosest = 0;
    for (double tol : tolerances_) loosest = std::max(loosest, tol);
    if (!(surfaceGap <= loosest))
        belowAir_ = 0;
    else
        belowAir_ = std::min(belowAir_, surfaceGap);
    const double difference = v.Surface - v.Back;
    if (reports_ == 0 || std::fabs(difference) > std::fabs(largestDifference_)) {
        largestDifference_ = difference;
        largestDifferenceTime_ = v.Time;
    }
    last_ = v;
    ++reports_;
}

namespace {

std::string Padded(const std::string& cell, std::size_t width)
{
    return std::string(width > cell.size() ? width - cell.size() : 1, ' ') + cell;
}

}  // namespace

std::vector<std::vector<std::string>> ReadyCells(const TReadiness& r, char16_t sep,
                                                 const std::function<std::string(double)>& clock)
{
    std::vector<std::vector<std::string>> cells(TReadiness::PartCount);
    for (int p = 0; p < TReadiness::PartCount; ++p)
        for (std::size_t k = 0; k < r.Tolerances().size(); ++k) {
            const auto t = r.ReadyFrom(TReadiness::Part(p), k);
            const std::string at = t && clock ? clock(*t) : std::string();
            cells[p].push_back(!t ? "not reached" : !at.empty() ? at : MinutesText(*t, sep));
        }
    return cells;
}

std::string ReadinessText(const TReadiness& r, char16_t sep)
{
    static const char* const names[TReadiness::PartCount] = {"Surface", "Back", "Glass"};
    std::string out = "Time from which each stays no more than the given distance above the air (minutes):\n";
    std::string header = "       ";
    for (double tol : r.Tolerances()) header += Padded("within " + ToUtf8(FormatFloat(tol, sep)) + " C", 15);
    out += header + "\n";
    for (int p = 0; p < TReadiness::PartCount; ++p) {
        std::string line = names[p];
        line.resize(7, ' ');
        for (std::size_t k = 0; k < r.Tolerances().size(); ++k) {
            const auto t = r.ReadyFrom(TReadiness::Part(p), k);
            line += Padded(t ? FixedText(*t / 60, 1, sep) : "not reached", 15);
        }
        out += line + "\n";
    }
    const TStepValues& last = r.Last();
    out += "Largest surface-minus-back difference: " + FixedText(r.LargestDifference(), 2, sep) + " C at minute " +
           FixedText(r.LargestDifferenceTime() / 60, 1, sep) + "\n";
    out += "Final temperatures at minute " + FixedText(last.Time / 60, 1, sep) + ": air " +
           FixedText(last.Air, 2, sep) + " C, surface " + FixedText(last.Surface, 2, sep) + " C, back " +
           FixedText(last.Back, 2, sep) + " C, core " + FixedText(last.Core, 2, sep) + " C\n";
    return out;
}

nlohmann::ordered_json ReadyMinutesJson(const TReadiness& r)
{
    using Json = nlohmann::ordered_json;
    Json ready = Json::object();
    static const char* const keys[TReadiness::PartCount] = {"surface", "back", "glass"};
    for (int p = 0; p < TReadiness::PartCount; ++p) {
        Json list = Json::array();
        for (std::size_t k = 0; k < r.Tolerances().size(); ++k) {
            const auto t = r.ReadyFrom(TReadiness::Part(p), k);
            list.push_back(t ? Json(*t / 60) : Json(nullptr));
        }
        ready[keys[p]] = list;
    }
    return ready;
}

nlohmann::ordered_json LargestDifferenceJson(const TReadiness& r)
{
    return {{"kelvin", r.LargestDifference()}, {"minutes", r.LargestDifferenceTime() / 60}};
}

std::string ReadinessJson(const TReadiness& r, const TJsonExtras& extras)
{
    using Json = nlohmann::ordered_json;
    Json out = ReadinessObject(r);
    for (const auto& [key, value] : extras) out[key] = value ? Json(*value) : Json(nullptr);
    return out.dump();
}

nlohmann::ordered_json ReadinessObject(const TReadiness& r)
{
    using Json = nlohmann::ordered_json;
    const TStepValues& last = r.Last();
    Json out = Json::object();
    out["tolerances"] = r.Tolerances();
    out["ready_minutes"] = ReadyMinutesJson(r);
    out["largest_front_back_difference"] = LargestDifferenceJson(r);
    Json final = Json::object();
    for (int o = 0; o < OutputColumnCount; ++o) final[OutputColumns[std::size_t(o)].JsonKey] = ColumnValue(last, o);
    out["final"] = final;
    return out;
}

std::vector<double> ParseTolerances(const std::string& list)
{
    std::vector<double> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = list.find(',', start);
        const std::string item = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        double v = 0;
        if (!TryStrToFloat(FromUtf8(item), u'.', v) || !(v > 0) || !std::isfinite(v))
            throw EBrennicError("\"--tolerance\" has '" + item +
                                "': each tolerance must be a number above 0 (degrees C)");
        out.push_back(v);
        if (end == std::string::npos)
            return out;
        start = end + 1;
    }
}

}  // namespace brennic
