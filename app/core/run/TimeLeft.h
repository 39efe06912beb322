// How long a run has still to go, from how far it has come in how long.
#pragma once

#include <optional>
#include <string>

namespace brennic {

// No estimate before a run has done this share or taken this long: the
// first reports include setting up and say little about the pace.
inline constexpr double EarliestEstimateFraction = 0.02;
inline constexpr double EarliestEstimateSeconds = 0.5;

// Seconds left at the pace so far; none while too early to tell.
std::optional<double> SecondsLeft(double elapsedSeconds, double fractionDone);
// "about 40 s left", "about 3 min left", "about 2 h 5 min left".
std::string TimeLeftText(double seconds);

}  // namespace brennic
