#include "support/ContentHash.h"

#include <cstdint>

namespace brennic {

std::string ContentHash(std::string_view bytes)
{
    // Fowler-Noll-Vo, FNV-1a with the 64-bit offset basis and prime.
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4) text[std::size_t(i)] = Digits[h & 15];
    return text;
}

}  // namespace brennic
