// The user's numeric conventions as the C library reports them (LC_ALL,
// LC_NUMERIC, LANG), without touching the program's own locale.
#pragma once

#include <optional>

namespace brennic {

// The decimal separator, or nothing when it is not a single character.
std::optional<char16_t> LocaleDecimalSeparator();
// The C library has no list separator: always nothing, so that the result
// table's separator follows from the decimal one.
std::optional<char16_t> LocaleListSeparator();

}  // namespace brennic
