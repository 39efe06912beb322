#include "app/core/run/Headline.h"

#include "app/core/tables/AirSource.h"
#include "support/LibStandard.h"
#include "support/LocalClock.h"
#include "support/NumberText.h"

#include <cmath>

namespace brennic {

namespace {

std::size_t Preferred(const std::vector<double>& list, double wanted)
{
    for (std::size_t k = 0; k < list.size(); ++k)
        if (list[k] == wanted)
            return k;
    return list.size() / 2;
}

// "190" or "190.5": minutes to a tenth, without a trailing ".0".
std::string Minutes(double seconds, char16_t sep)
{
    return ToUtf8(FormatFloat(std::round(seconds / 6) / 10, sep));
}

std::string Number(double v, char16_t sep)
{
    return ToUtf8(FormatFloat(v, sep));
}

}  // namespace

std::string RunClock(const TRunRecord& r, double seconds)
{
    if (!r.Air || !r.Air->Table.ClockTimes)
        return {};
    const TTimeTable& t = r.Air->Table;
    const std::string at = LocalDateTimeText(t, r.Air->Start + seconds);
    const std::string first = LocalDateTimeText(t, r.Air->Start);
    const std::string last = LocalDateTimeText(t, r.Air->Start + std::max(r.Duration, 0.0));
    const double now = UtcNow();
    const std::string today = DateTimeText(now + LocalUtcOffsetMinutes(now) * 60.0);
    const bool dated = first.substr(0, 10) != last.substr(0, 10) || first.substr(0, 10) != today.substr(0, 10);
    return dated ? at : at.substr(11);
}

std::string RunTimeText(const TRunRecord& r, double seconds, char16_t sep)
{
    const std::string clock = RunClock(r, seconds);
    const std::string minutes = MinutesText(seconds, sep);
    return clock.empty() ? minutes : clock + " (" + minutes + ")";
}

std::size_t HeadlineTolerance(const std::vector<double>& tolerances)
{
    return Preferred(tolerances, 0.5);
}

std::size_t HeadlineSeeing(const std::vector<double>& thresholds)
{
    return Preferred(thresholds, 0.25);
}

std::string Headline(const TRunRecord& r, char16_t sep, bool stopped, TTemperatureUnit unit)
{
    const TReadiness& ready = r.Readiness;
    if (ready.Reports() == 0 || ready.Tolerances().empty())
        return {};
    const double last = ready.Last().Time;
    const std::string clockEnd = RunClock(r, last);
    const std::string end = stopped ? (clockEnd.empty() ? Minutes(last, sep) + " min" : clockEnd)
                                    : "the end (" + (clockEnd.empty() ? Minutes(last, sep) + " min" : clockEnd) + ")";
    std::string text = stopped ? "Stopped at " + Minutes(last, sep) + " of " + Minutes(r.Duration, sep) + " min: m"
                               : std::string("M");
    const std::size_t k = HeadlineTolerance(ready.Tolerances());
    const std::string tolerance =
        Number(TemperatureDifferenceShown(ready.Tolerances()[k], unit), sep) + " " + TemperatureSymbol(unit);
    if (const auto t = ready.ReadyFrom(TReadiness::Glass, k))
        text += "irror no more than " + tolerance + " above the air from " + RunTimeText(r, *t, sep);
    else
        text += "irror still more than " + tolerance + " above the air at " + end;
    if (!ready.SeeingThresholds().empty()) {
        const std::size_t s = HeadlineSeeing(ready.SeeingThresholds());
        const std::string below = Number(ready.SeeingThresholds()[s], sep) + "\u2033";
        if (const auto t = ready.SeeingReadyFrom(s)) {
            const std::string clock = RunClock(r, *t);
            text += "; mirror seeing below " + below + " from " + (clock.empty() ? MinutesText(*t, sep) : clock);
        } else {
            text += "; mirror seeing not below " + below + " by " + (stopped ? "the stop" : "the end");
        }
    }
    return text;
}

}  // namespace brennic

namespace brennic {

std::optional<double> LocalClockZero(const TRunRecord& r)
{
    return LocalClockZero(r.Air.get());
}

std::optional<double> LocalClockZero(const TAirSource* air)
{
    if (!air || !air->Table.ClockTimes)
        return std::nullopt;
    return air->Start + air->Table.ClockOffsetMinutes * 60.0;
}

}  // namespace brennic
