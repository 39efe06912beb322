// The table of what a run reports per step: the result table's columns,
// the workbook's, the evolution chart's curves, and the names by which the
// readers of logs and air files recognise this program's own export.
#pragma once

#include "app/core/results/ResultText.h"

#include <array>

namespace brennic {

enum TOutputColumnId : int { oTime, oAir, oSurface, oBack, oCore, OutputColumnCount };

struct TOutputColumn {
    const char* Name;  // the result table's header (quoted there) and the workbook's
    const char* Unit;  // as the workbook writes it
    double TStepValues::*Value;
    const char* SeriesName;   // the evolution chart's curve ("" for none)
    const char* SeriesTitle;  // its legend entry
    int ChartOrder;           // the curve's place in the legend (-1: no curve)
};

// clang-format off
inline constexpr std::array<TOutputColumn, OutputColumnCount> OutputColumns{{
    {"Time",      "s",       &TStepValues::Time,    "",            "",              -1},
    {"T_Ambient", "\u00b0C", &TStepValues::Air,     "Series1",     "Air Temp.",      3},
    {"T_Surface", "\u00b0C", &TStepValues::Surface, "Series2",     "Surface Temp.",  1},
    {"T_Back",    "\u00b0C", &TStepValues::Back,    "Series3",     "Back Temp.",     2},
    {"T_Core",    "\u00b0C", &TStepValues::Core,    "LineSeries1", "Core Temp.",     0},
}};
// clang-format on

}  // namespace brennic
