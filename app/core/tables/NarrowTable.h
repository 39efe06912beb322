// Tables of one reading per row, the series named in a column: Home
// Assistant's history (entity_id, state, last_changed), Grafana's "series as
// rows" export (Series, Time, Value) and InfluxDB's annotated CSV (_time,
// _value and the series' tags), read as one column per series.
#pragma once

#include "app/core/tables/TableLayout.h"

namespace brennic {

bool NarrowLayout(const TTableHead& head);
// InfluxDB's series is the one --air-column names as TAG=VALUE; refused
// without it, listing the series.
TTimeTable ReadNarrowTable(const TCleanLines& lines, const TTableHead& head, const TTableOptions& options,
                           TTimeTable table);

}  // namespace brennic
