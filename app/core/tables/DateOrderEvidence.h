// Which of a date's first two fields is the day, decided from the file's
// own dates: dotted dates are day first everywhere; a field above 12
// settles it; so does a column of dates that stays in order (no jump of
// weeks between neighbouring rows) only one way. The locale decides only
// when the whole file reads both ways alike, and the note says so.
#pragma once

#include "app/core/tables/TableLayout.h"

namespace brennic {

// Rows that jump more than this between neighbours are out of order.
inline constexpr double DateOrderLargestStep = 7 * 86400.0;

// Adds a note saying how the order was decided; refuses a file whose dates
// are written both ways.
EDateOrder DecideDateOrder(const TCleanLines& lines, const TTableHead& head, const TTableOptions& options,
                           TTimeTable& table);

}  // namespace brennic
