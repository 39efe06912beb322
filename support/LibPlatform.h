// What the desktop platform tells or does for the program.
#pragma once

#include <optional>
#include <string>

namespace brennic {

// The decimal separator of the user's numeric locale (LC_ALL, LC_NUMERIC,
// LANG), or nothing when the system reports none.
std::optional<char16_t> SystemDecimalSeparator();
// The list separator of the user's regional settings; desktops without such
// a setting report nothing.
std::optional<char16_t> SystemListSeparator();

}  // namespace brennic
