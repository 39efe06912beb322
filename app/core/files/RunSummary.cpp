#include "app/core/files/RunSummary.h"

#include "app/core/results/ReadinessJson.h"
#include "app/core/results/ResultText.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <algorithm>

namespace brennic {

std::vector<std::string> RunNotes(const TRunRecord& r, char16_t sep)
{
    std::vector<std::string> notes = r.Notes;
    if (!r.Air) {
        if (r.DewPointAt)
            notes.push_back(r.DewRiskFrom ? "Dew risk from " + MinutesText(*r.DewRiskFrom, sep)
                                          : std::string("No dew risk: the surface stays above the dew point"));
        return notes;
    }
    notes.push_back("Air from " + r.Air->Describe());
    for (const std::string& how : r.Air->Notes) notes.push_back(r.Air->Table.File + ": " + how);
    if (r.Duration > r.Air->EndsAt())
        notes.push_back("The air file ends at " + r.Air->When(r.Air->EndsAt(), sep) +
                        "; after that the air holds its last value");
    if (r.Air->Dew)
        notes.push_back(r.DewRiskFrom ? "Dew risk from " + r.Air->When(*r.DewRiskFrom, sep)
                                      : std::string("No dew risk: the surface stays above the dew point"));
    return notes;
}

std::vector<std::string> ConditionLines(const TRunRecord& r, char16_t sep, bool display, TTemperatureUnit shown)
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
    const std::string unit = display ? " W/m\u00b2K" : " W/m2K";
    const std::string to = display ? "\u2013" : " to ";
    if (r.Films && r.ComputedFilms) {
        const TFilmRanges& f = *r.Films;
        lines.push_back("Film coefficients from the conditions: front " + FixedText(f[0].Min, 2, sep) + to +
                        FixedText(f[0].Max, 2, sep) + ", back " + FixedText(f[1].Min, 2, sep) + to +
                        FixedText(f[1].Max, 2, sep) + unit);
    }
    if (r.Films && r.EdgeInModel)
        lines.push_back("Edge film coefficient, through the glass to the rim: " + FixedText((*r.Films)[2].Min, 2, sep) +
                        to + FixedText((*r.Films)[2].Max, 2, sep) + unit);
    const double below = ready.SurfaceBelowAir();
    if (below < 0) {
        const std::string value = display ? "\u2212" + FixedText(TemperatureDifferenceShown(-below, shown), 1, sep) + " " +
                                                TemperatureSymbol(shown)
                                          : FixedText(below, 2, sep) + " C";
        lines.push_back("Surface then down to " + value + " against the air: " +
                        (r.FrontRadiation > 0 ? "radiation to the sky" : "the air warmed faster than the glass"));
    }
    lines.push_back(std::string("Radiation model: ") + ModelText(r.Model));
    return lines;
}

std::string SummaryText(const TRunRecord& r, char16_t sep)
{
    std::string out = ReadinessText(r.Readiness, sep);
    for (const std::string& line : ConditionLines(r, sep, false)) out += line + "\n";
    for (const std::string& note : RunNotes(r, sep)) out += "Note: " + note + "\n";
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
    if (r.Films) {
        Json films = Json::object();
        const char* const faces[3] = {"front", "back", "edge"};
        for (std::size_t face = 0; face < 3; ++face)
            if (face == 2 ? r.EdgeInModel : r.ComputedFilms)
                films[faces[face]] = {{"min", (*r.Films)[face].Min}, {"max", (*r.Films)[face].Max}};
        out["film_coefficients"] = films;
    }
    out["surface_below_air_max"] = std::min(0.0, ready.SurfaceBelowAir());
    // How each file was read.
    Json notes = Json::object();
    notes["air"] = r.Air ? Json(r.Air->Notes) : Json::array();
    notes["measured"] = r.Log ? Json(r.Log->Notes) : Json::array();
    out["notes"] = notes;
    if (r.Air) {
        std::string start = r.Air->Table.ClockTimes ? LocalDateTimeText(r.Air->Table, r.Air->Start) : std::string();
        if (!start.empty())
            start[10] = 'T';
        out["air"] = {{"file", r.Air->Table.File},
                      {"column", r.Air->Air.Name()},
                      {"start", start.empty() ? Json(nullptr) : Json(start)}};
    } else {
        out["air"] = nullptr;
    }
    out["radiation"] = RadiationModelName(r.Model.Model);
    if (measured)
        out["measured"] = {{"rms", measured->Rms}, {"points", measured->Points}};
    return out.dump();
}

}  // namespace brennic
