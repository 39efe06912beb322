#include "app/core/run/TimeLeft.h"

#include <algorithm>
#include <cmath>

namespace brennic {

std::optional<double> SecondsLeft(double elapsed, double fraction)
{
    if (!(fraction >= EarliestEstimateFraction && fraction <= 1) || !(elapsed >= EarliestEstimateSeconds) ||
        !std::isfinite(elapsed))
        return std::nullopt;
    return elapsed * (1 - fraction) / fraction;
}

std::string TimeLeftText(double seconds)
{
    const long s = std::lround(std::max(seconds, 0.0));
    if (s < 60)
        return "about " + std::to_string(std::max(s, 1L)) + " s left";
    const long minutes = std::lround(double(s) / 60);
    if (minutes < 60)
        return "about " + std::to_string(minutes) + " min left";
    return "about " + std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min left";
}

}  // namespace brennic
