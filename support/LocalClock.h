// The user's clock and calendar as the C library reports them (TZ, LC_TIME).
#pragma once

#include <string>

namespace brennic {

// "dmy", "mdy" or "ymd" from the order of day, month and year in the
// locale's date format; empty when the locale gives none.
std::string LocaleDateOrder();
// Minutes east of UTC of the local time zone at a moment (s since 1970).
int LocalUtcOffsetMinutes(double utcSeconds);
// Seconds since 1970 (UTC), now.
double UtcNow();

}  // namespace brennic
