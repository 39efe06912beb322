// The table of what a run reports per step: the result table's columns,
// the workbook's, the evolution chart's curves (current and kept runs), the
// summary's final values, and the names by which the readers of logs and
// air files recognise this program's own export. A new column is a row here
// and its value in TStepValues.
#pragma once

#include "app/core/results/ResultText.h"

#include <array>
#include <vector>

namespace brennic {

enum TOutputColumnId : int { oTime, oAir, oSurface, oBack, oCore, OutputColumnCount };

struct TOutputColumn {
    const char* Name;  // the result table's header (quoted there) and the workbook's
    const char* Unit;  // as the workbook writes it
    double TStepValues::*Value;
    const char* CurveTitle;  // the evolution chart's legend entry ("" for no curve)
    int CurveOrder;          // the curve's place in the legend (-1: no curve)
    const char* JsonKey;     // in the summary's "final" object
};

// clang-format off
inline constexpr std::array<TOutputColumn, OutputColumnCount> OutputColumns{{
    {"Time",      "s",       &TStepValues::Time,    "",              -1, "minutes"},
    {"T_Ambient", "\u00b0C", &TStepValues::Air,     "Air Temp.",      3, "air"},
    {"T_Surface", "\u00b0C", &TStepValues::Surface, "Surface Temp.",  1, "surface"},
    {"T_Back",    "\u00b0C", &TStepValues::Back,    "Back Temp.",     2, "back"},
    {"T_Core",    "\u00b0C", &TStepValues::Core,    "Core Temp.",     0, "core"},
}};
// clang-format on

// The columns drawn as curves, in their legend order.
inline std::vector<int> CurveColumns()
{
    std::vector<int> columns;
    for (int place = 0; place < OutputColumnCount; ++place)
        for (int c = 0; c < OutputColumnCount; ++c)
            if (OutputColumns[std::size_t(c)].CurveOrder == place)
                columns.push_back(c);
    return columns;
}

// A column's value in a report, in its display unit (the time in minutes).
inline double ColumnValue(const TStepValues& v, int column)
{
    const double value = v.*OutputColumns[std::size_t(column)].Value;
    return column == oTime ? value / 60 : value;
}

}  // namespace brennic
