// Every finite double written in the number form reads back as that form's
// 15-digit value, and writing it again gives the same text.
#include "support/NumberText.h"

#include <locale.h>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 9)
        return 0;
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    double v;
    std::memcpy(&v, data, sizeof v);
    if (!std::isfinite(v))
        return 0;
    const char16_t sep = (data[8] & 1) ? u',' : u'.';
    const std::u16string text = brennic::FormatFloat(v, sep);
    for (char16_t ch : text)
        if (!((ch >= u'0' && ch <= u'9') || ch == sep || ch == u'-' || ch == u'E'))
            std::abort();
    double back = 0;
    if (!brennic::TryStrToFloat(text, sep, back))
        std::abort();  // written, but not readable
    // The 15 significant digits, correctly rounded, kept within the range.
    char digits[40];
    std::snprintf(digits, sizeof digits, "%.14e", v);
    double want = strtod_l(digits, nullptr, cLocale);
    if (std::isinf(want))
        want = std::copysign(1.79769313486231e308, v);
    if (v == 0)
        want = 0;  // "0", whatever the sign
    if (back != want || brennic::FormatFloat(back, sep) != text) {
        std::fprintf(stderr, "%.17g -> %s -> %.17g (want %.17g)\n", v, digits, back, want);
        std::abort();
    }
    return 0;
}
