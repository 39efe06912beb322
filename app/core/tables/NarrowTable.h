// A narrow history (Home Assistant's download: entity_id, state,
// last_changed, a row per reading), turned into one column per entity.
#pragma once

#include "app/core/tables/TableLayout.h"

namespace brennic {

bool NarrowLayout(const TTableHead& head);
TTimeTable ReadNarrowTable(const TCleanLines& lines, const TTableHead& head, TTimeTable table);

}  // namespace brennic
