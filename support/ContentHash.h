// A file's content in a few characters, to tell whether it changed since it
// was read (not for security: FNV-1a, 64 bits).
#pragma once

#include <string>
#include <string_view>

namespace brennic {

// Sixteen hexadecimal digits.
std::string ContentHash(std::string_view bytes);

}  // namespace brennic
