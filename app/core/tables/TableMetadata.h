// What a file says about its place above its table: the UTC offset
// (Open-Meteo's utc_offset_seconds), the elevation (Open-Meteo's
// elevation; NASA POWER's "Elevation from MERRA-2: ... = 320.12 meters";
// Synoptic's "# ELEVATION [ft]: 4226") and the longitude.
#pragma once

#include "app/core/tables/TableLayout.h"

namespace brennic {

void ReadMetadata(const TCleanLines& lines, TTimeTable& table);

}  // namespace brennic
