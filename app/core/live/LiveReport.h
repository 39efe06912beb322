// An update of the live prediction as the command line prints it: one JSON
// object on its own line (JSON Lines), or one line of text.
#pragma once

#include "app/core/results/DisplayUnits.h"

#include "app/core/live/LivePrediction.h"

#include <string>

namespace brennic {

// "2026-12-09T21:05:00+01:00" on this computer's clock.
std::string LocalIsoText(double utcSeconds);
// "21:05" on this computer's clock.
std::string LocalClockText(double utcSeconds);

std::string LiveJsonLine(const TLiveUpdate& update);
// "21:05 · mirror +2.3 °C above the air · ready (≤ 0.5 °C) 21:42
// (21:30–21:58) from 47 min of data"
std::string LiveTextLine(const TLiveUpdate& update);
// The headline of the window's live page: "Ready (surface ≤ 0.5 °C above
// the air) at 21:42 (21:30–21:58), from 47 min of your mirror's data".
std::string LiveHeadline(const TLiveUpdate& update, char16_t decimalSeparator,
                         TTemperatureUnit unit = TTemperatureUnit::Celsius);
// The tolerance the line and the headline speak of: the second, as the
// headline of a run, or the only one.
std::size_t LiveToleranceIndex(const TLiveUpdate& update);

}  // namespace brennic
