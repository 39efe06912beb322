// The number reader against an independent oracle: a matcher of the accepted
// grammar written afresh, and strtod in the "C" locale for the value.
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <locale.h>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Spaces, sign, digits, [separator digits], [e|E [sign] digits], spaces; at
// least one digit or a separator before the exponent. Builds the "C" text
// for strtod, with an exponent without digits counting as 0.
bool Grammar(const std::u16string& t, char16_t sep, std::string& c, bool& anyDigit)
{
    std::size_t i = 0, n = t.size();
    auto digit = [&](std::size_t k) { return k < n && t[k] >= u'0' && t[k] <= u'9'; };
    while (i < n && t[i] == u' ') ++i;
    if (i < n && (t[i] == u'+' || t[i] == u'-'))
        c += char(t[i++]);
    const std::size_t mantissaStart = c.size();
    while (digit(i)) c += char(t[i++]);
    bool hasSep = false;
    if (i < n && t[i] == sep) {
        hasSep = true;
        c += '.';
        ++i;
        while (digit(i)) c += char(t[i++]);
    }
    anyDigit = c.find_first_of("0123456789", mantissaStart) != std::string::npos;
    if (!anyDigit && !hasSep)
        return false;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        std::string e = "e";
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-'))
            e += char(t[i++]);
        bool expDigit = false;
        while (digit(i)) {
            e += char(t[i++]);
            expDigit = true;
        }
        c += expDigit ? e : "e0";
    }
    while (i < n && t[i] == u' ') ++i;
    return i == n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const char16_t sep = (data[0] & 1) ? u',' : u'.';
    // Bytes as code units: any character can appear, ASCII most often.
    std::u16string text;
    for (std::size_t i = 1; i < size; ++i) text += char16_t(data[i] < 0x80 ? data[i] : 0x80 + data[i]);

    double got = 12345;
    const bool ok = brennic::TryStrToFloat(text, sep, got);
    std::string c;
    bool anyDigit = false;
    if (!Grammar(text, sep, c, anyDigit)) {
        if (ok)
            std::abort();  // accepted outside the grammar
        return 0;
    }
    double want = 0;
    if (anyDigit) {
        errno = 0;
        want = strtod_l(c.c_str(), nullptr, cLocale);
        if (errno == ERANGE && std::isinf(want)) {
            if (ok)
                std::abort();  // too large, yet accepted
            return 0;
        }
    } else {
        want = c[0] == '-' ? -0.0 : 0.0;  // a lone separator
    }
    if (!ok || std::memcmp(&got, &want, sizeof got) != 0) {
        std::fprintf(stderr, "text '%s' (C form '%s'): got %s %.17g, want %.17g\n", brennic::ToUtf8(text).c_str(),
                     c.c_str(), ok ? "" : "refusal", got, want);
        std::abort();
    }
    return 0;
}
