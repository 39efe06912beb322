// The last guard against a file read wrong: values no air or mirror on
// Earth takes, jumps no air makes, and rows too close together or too far
// apart for the time scale they were read on. Each refusal names the file,
// the line, the column and the value.
#pragma once

#include "app/core/tables/TimeSeries.h"

#include <string>

namespace brennic {

// degC: the air, the sky and the dew point; a mirror's sensors.
inline constexpr double AirLowest = -90, AirHighest = 60;
inline constexpr double MirrorLowest = -60, MirrorHighest = 80;
// No air changes by more than this (degC) within this time (s).
inline constexpr double LargestJump = 15, JumpWindow = 600;
// The rows' mean step (s): from a second to six hours.
inline constexpr double ShortestMeanStep = 1, LongestMeanStep = 6 * 3600;

enum class TSeriesKind { Air, Mirror };

// Refuses a column used as the air (sky, dew point) or a mirror's sensor
// with a value outside its range, or that moves by more than LargestJump
// within JumpWindow.
void CheckPlausible(const TTimeTable& table, int column, TSeriesKind kind);

// Refuses rows whose mean step is shorter than a second or longer than six
// hours, naming the time column and how its numbers were read.
void CheckTimeScale(const TTimeTable& table, const std::string& timeName);

}  // namespace brennic
