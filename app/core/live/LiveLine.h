// A line a microcontroller prints on its serial port: numbers in a row
// ("12.31,9.80", "12.31 9.80") or labelled values ("Mirror: 12.31 C
// Air: 9.80 C", "T1=12.31;T2=9.80"), in °C unless marked °F.
#pragma once

#include "app/core/live/LiveTable.h"

#include <array>
#include <string>
#include <string_view>

namespace brennic {

// Which value of a line plays which role: a column number (from 1) or a
// label (any case); empty: not in the lines. From --measured-columns
// (surface=1,air=2 or surface=Mirror,air=Air); unlabelled numbers need it,
// labelled lines take mirror/surface, back, air/ambient/outside, dew and sky
// by their labels.
struct TLineRoles {
    std::array<std::string, LiveRoleCount> Names;
    bool Given = false;
};
// "surface=1,air=2": throws EBrennicError naming the item.
TLineRoles ParseLineRoles(const std::string& text);

// The values of one line; throws EBrennicError saying what is wrong with
// it (no number, a role's value missing, a label unknown), never a partial
// reading.
TLiveRow ParseLiveLine(std::string_view line, const TLineRoles& roles);

}  // namespace brennic
