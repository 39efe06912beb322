#include "app/core/RunSummary.h"

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

std::string SummaryText(const TRunRecord& r, char16_t sep)
{
    std::string out = ReadinessText(r.Readiness, sep);
    for (const std::string& note : AirNotes(r, sep)) out += "Note: " + note + "\n";
    return out;
}

std::string SummaryJson(const TRunRecord& r)
{
    const std::optional<double> dew = r.DewRiskFrom ? std::optional<double>(*r.DewRiskFrom / 60) : std::nullopt;
    return ReadinessJson(r.Readiness, {{"dew_risk_minutes", dew}});
}

}  // namespace brennic
