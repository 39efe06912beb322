// The run's answer in the user's words, above the evolution chart: from
// when the mirror is within the chosen distance of the air and its own
// seeing below the chosen threshold, on the local clock when the air has
// dates, and where a run was stopped early.
#pragma once

#include "app/core/results/DisplayUnits.h"

#include "app/core/run/RunRecord.h"

#include <optional>
#include <string>

namespace brennic {

// "20:04", or "2026-12-08 20:04" when the run crosses midnight or its date
// is not today; empty when the air has no clock times.
std::string RunClock(const TRunRecord& record, double seconds);
// "20:04 (84.8 min)", or "84.8 min" without clock times.
std::string RunTimeText(const TRunRecord& record, double seconds, char16_t decimalSeparator);

// The tolerance (°C) and seeing threshold (″) the headline speaks of:
// 0.5 °C and 0.25″ where the lists hold them, else their middle entries.
std::size_t HeadlineTolerance(const std::vector<double>& tolerances);
std::size_t HeadlineSeeing(const std::vector<double>& thresholds);

// Empty before the first report. stopped: the run was cancelled. The
// tolerance is given in the temperature unit the reader chose.
std::string Headline(const TRunRecord& record, char16_t decimalSeparator, bool stopped,
                     TTemperatureUnit unit = TTemperatureUnit::Celsius);

}  // namespace brennic

namespace brennic {
// The local clock (s since 1970, on the local clock) at the run's time 0,
// when the air has clock times.
std::optional<double> LocalClockZero(const TRunRecord& record);
std::optional<double> LocalClockZero(const TAirSource* air);
}  // namespace brennic
