#include "app/core/files/RunSummary.h"

#include "app/core/results/ReadinessJson.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

namespace brennic {

std::vector<std::string> AirNotes(const TRunRecord& r, char16_t sep)
{
    std::vector<std::string> notes;
    if (!r.Air)
        return notes;
    notes.push_back("Air from " + r.Air->Describe());
    if (r.Duration > r.Air->EndsAt())
        notes.push_back("The air file ends at " + r.Air->When(r.Air->EndsAt(), sep) +
                        "; after that the air holds its last value");
    if (r.Air->Dew)
        notes.push_back(r.DewRiskFrom ? "Dew risk from " + r.Air->When(*r.DewRiskFrom, sep)
                                      : std::string("No dew risk: the surface stays above the dew point"));
    return notes;
}

std::vector<std::string> ConditionLines(const TRunRecord& r, char16_t sep, bool display)
{
    std::vector<std::string> lines;
    const TReadiness& ready = r.Readiness;
    for (std::size_t k = 0; k < ready.SeeingThresholds().size(); ++k) {
        const auto t = ready.SeeingReadyFrom(k);
        const std::string threshold = ToUtf8(FormatFloat(ready.SeeingThresholds()[k], sep));
        if (display)
            lines.push_back("Mirror seeing \u2264 " + threshold + "\u2033 " +
                            (t ? "from " + (r.Air ? r.Air->When(*t, sep) : MinutesText(*t, sep))
                               : std::string("not reached")));
        else
            lines.push_back("Mirror seeing at most " + threshold + " arcsec: " +
                            (t ? "from minute " + FixedText(*t / 60, 1, sep) : std::string("not reached")));
    }
    if (r.Films) {
        const TFilmRanges& f = *r.Films;
        const std::string to = display ? "\u2013" : " to ";
        lines.push_back("Film coefficients from the conditions: front " + FixedText(f[0].Min, 2, sep) + to +
                        FixedText(f[0].Max, 2, sep) + ", back " + FixedText(f[1].Min, 2, sep) + to +
                        FixedText(f[1].Max, 2, sep) + (display ? " W/m\u00b2K" : " W/m2K"));
    }
    return lines;
}

std::string SummaryText(const TRunRecord& r, char16_t sep)
{
    std::string out = ReadinessText(r.Readiness, sep);
    for (const std::string& line : ConditionLines(r, sep, false)) out += line + "\n";
    for (const std::string& note : AirNotes(r, sep)) out += "Note: " + note + "\n";
    return out;
}

std::string SummaryJson(const TRunRecord& r, const std::optional<TLogComparison>& measured)
{
    using Json = nlohmann::ordered_json;
    Json out = ReadinessObject(r.Readiness);
    out["dew_risk_minutes"] = r.DewRiskFrom ? Json(*r.DewRiskFrom / 60) : Json(nullptr);
    const TReadiness& ready = r.Readiness;
    out["seeing_thresholds"] = ready.SeeingThresholds();
    Json seeing = Json::object();
    for (std::size_t k = 0; k < ready.SeeingThresholds().size(); ++k) {
        const auto t = ready.SeeingReadyFrom(k);
        const std::string key = k < r.SeeingTexts.size() ? r.SeeingTexts[k] : std::to_string(ready.SeeingThresholds()[k]);
        seeing[key] = t ? Json(*t / 60) : Json(nullptr);
    }
    out["seeing_ready_minutes"] = seeing;
    if (r.Films)
        out["film_coefficients"] = {{"front", {{"min", (*r.Films)[0].Min}, {"max", (*r.Films)[0].Max}}},
                                    {"back", {{"min", (*r.Films)[1].Min}, {"max", (*r.Films)[1].Max}}}};
    if (measured)
        out["measured"] = {{"rms", measured->Rms}, {"points", measured->Points}};
    return out.dump();
}

}  // namespace brennic
