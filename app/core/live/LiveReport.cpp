#include "app/core/live/LiveReport.h"

#include "app/core/fit/FitJson.h"
#include "app/core/results/ResultText.h"
#include "app/core/tables/DateTimeText.h"
#include "support/LibStandard.h"
#include "support/LocalClock.h"
#include "support/NumberText.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>

namespace brennic {

namespace {

using Json = nlohmann::ordered_json;

Json Optional(const std::optional<double>& v)
{
    return v && std::isfinite(*v) ? Json(*v) : Json(nullptr);
}

Json TimeOrNull(const std::optional<double>& t)
{
    return t ? Json(LocalIsoText(*t)) : Json(nullptr);
}

Json Estimate(const TReadyEstimate& e)
{
    return {{"at", TimeOrNull(e.At)}, {"low", TimeOrNull(e.Low)}, {"high", TimeOrNull(e.High)}};
}

std::string Signed(double v, char16_t sep)
{
    return (v >= 0 ? "+" : "\u2212") + FixedText(std::fabs(v), 1, sep);
}

const TReadyEstimate* SurfaceEstimate(const TLiveUpdate& u)
{
    const std::size_t k = LiveToleranceIndex(u);
    return k < u.Ready[TReadiness::Surface].size() ? &u.Ready[TReadiness::Surface][k] : nullptr;
}

std::string ToleranceText(const TLiveUpdate& u, char16_t sep, TTemperatureUnit unit = TTemperatureUnit::Celsius)
{
    const std::size_t k = LiveToleranceIndex(u);
    if (k >= u.Tolerances.size())
        return "";
    return ToUtf8(FormatFloat(TemperatureDifferenceShown(u.Tolerances[k], unit), sep));
}

std::string Minutes(double m)
{
    return std::to_string(long(std::floor(m))) + " min";
}

}  // namespace

std::string LocalIsoText(double utc)
{
    const int offset = LocalUtcOffsetMinutes(utc);
    const double local = std::floor(utc) + 60.0 * offset;
    std::string text = DateTimeText(local);
    text[10] = 'T';
    char tail[16];
    const long s = long(std::fmod(local, 60.0));
    std::snprintf(tail, sizeof tail, ":%02ld%c%02d:%02d", s < 0 ? s + 60 : s, offset < 0 ? '-' : '+',
                  std::abs(offset) / 60, std::abs(offset) % 60);
    return text + tail;
}

std::string LocalClockText(double utc)
{
    return ClockTimeText(std::floor(utc) + 60.0 * LocalUtcOffsetMinutes(utc));
}

std::size_t LiveToleranceIndex(const TLiveUpdate& u)
{
    return u.Tolerances.size() > 1 ? 1 : 0;
}

std::string LiveJsonLine(const TLiveUpdate& u)
{
    Json out;
    out["time"] = LocalIsoText(u.DataTime);
    out["minutes_of_data"] = u.MinutesOfData;
    out["air"] = Optional(u.Air);
    out["surface"] = Optional(u.Surface);
    out["back"] = Optional(u.Back);
    out["prediction_from"] = u.FromFit ? "fit" : "conditions";
    out["parameters"] = u.Fit ? FitJsonObject(*u.Fit)["parameters"] : Json::object();
    Json ready = Json::object();
    static const char* const parts[] = {"surface", "back", "glass"};
    for (int p = 0; p < TReadiness::PartCount; ++p) {
        Json byTolerance = Json::object();
        for (std::size_t k = 0; k < u.Ready[std::size_t(p)].size(); ++k) {
            const std::string key = k < u.ToleranceTexts.size() ? u.ToleranceTexts[k] : FixedText(u.Tolerances[k], 2, u'.');
            byTolerance[key] = Estimate(u.Ready[std::size_t(p)][k]);
        }
        ready[parts[p]] = byTolerance;
    }
    out["ready"] = ready;
    Json seeing = Json::object();
    for (std::size_t k = 0; k < u.Seeing.size() && k < u.SeeingTexts.size(); ++k)
        seeing[u.SeeingTexts[k]] = Estimate(u.Seeing[k]);
    out["seeing"] = seeing;
    out["notes"] = u.Notes;
    out["warnings"] = u.Warnings;
    return out.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string LiveTextLine(const TLiveUpdate& u)
{
    std::string line = LocalClockText(u.DataTime);
    const std::optional<double> mirror = u.Surface ? u.Surface : u.Back;
    if (mirror && u.Air)
        line += " \u00b7 mirror " + Signed(*mirror - *u.Air, u'.') + " \u00b0C " +
                (*mirror >= *u.Air ? "above" : "below") + " the air";
    else if (mirror)
        line += " \u00b7 mirror " + FixedText(*mirror, 1, u'.') + " \u00b0C";
    const std::string tolerance = "(\u2264 " + ToleranceText(u, u'.') + " \u00b0C)";
    const TReadyEstimate* e = SurfaceEstimate(u);
    if (e && e->At) {
        line += " \u00b7 ready " + tolerance + " " + LocalClockText(*e->At);
        if (e->Low && e->High)
            line += " (" + LocalClockText(*e->Low) + "\u2013" + LocalClockText(*e->High) + ")";
        else if (u.FromFit)
            line += " (interval not determined)";
    } else {
        line += " \u00b7 not ready " + tolerance + " before " + LocalClockText(u.RunEnd);
    }
    line += u.FromFit ? " from " + Minutes(u.MinutesOfData) + " of data"
                      : " from the conditions, " + Minutes(u.MinutesOfData) + " of data";
    return line;
}

std::string LiveHeadline(const TLiveUpdate& u, char16_t sep, TTemperatureUnit unit)
{
    const std::string what =
        "(surface \u2264 " + ToleranceText(u, sep, unit) + " " + TemperatureSymbol(unit) + " above the air)";
    const TReadyEstimate* e = SurfaceEstimate(u);
    std::string line;
    if (e && e->At) {
        line = "Ready " + what + " at " + LocalClockText(*e->At);
        if (e->Low && e->High)
            line += " (" + LocalClockText(*e->Low) + "\u2013" + LocalClockText(*e->High) + ")";
    } else {
        line = "Not ready " + what + " before " + LocalClockText(u.RunEnd);
    }
    return line + (u.FromFit ? ", from " + Minutes(u.MinutesOfData) + " of your mirror's data"
                             : ", from the conditions (" + Minutes(u.MinutesOfData) + " of data so far)");
}

}  // namespace brennic
