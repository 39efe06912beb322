#include "support/LibStandard.h"

namespace brennic {

bool TextEqualsIgnoreCase(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() && TextStartsWithIgnoreCase(a, b);
}

bool TextStartsWithIgnoreCase(std::u16string_view text, std::u16string_view name)
{
    if (name.size() > text.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (FoldAscii(text[i]) != FoldAscii(name[i]))
            return false;
    return true;
}

int CompareTextIgnoreCase(std::u16string_view a, std::u16string_view b)
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int d = int(FoldAscii(a[i])) - int(FoldAscii(b[i]));
        if (d != 0)
            return d;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::string ToUtf8(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;  // a lone surrogate
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string FromUtf8(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        char32_t c = 0xFFFD;
        std::size_t len = 1;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4;
        }
        if (len > 1) {
            if (i + len > s.size()) {
                len = 1;
            } else {
                c = b & (0x7F >> len);
                for (std::size_t k = 1; k < len; ++k) {
                    const unsigned char cb = static_cast<unsigned char>(s[i + k]);
                    if ((cb & 0xC0) != 0x80) {
                        c = 0xFFFD;
                        len = 1;
                        break;
                    }
                    c = (c << 6) | (cb & 0x3F);
                }
            }
        }
        i += len;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

std::u16string FromAscii(std::string_view s)
{
    return std::u16string(s.begin(), s.end());
}

namespace {

const char HexDigits[] = "0123456789abcdef";

void AppendEscape(std::string& out, const char* prefix, unsigned c)
{
    out += prefix;
    out += HexDigits[(c >> 4) & 15];
    out += HexDigits[c & 15];
}

// The length of a well-formed UTF-8 sequence at s[i], or 0.
std::size_t Utf8Length(std::string_view s, std::size_t i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 && c >= 0xC2 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

}  // namespace

std::string TerminalSafe(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = Utf8Length(s, i);
        if (n == 0) {
            AppendEscape(out, "\\x", c);
            ++i;
        } else if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
            AppendEscape(out, "\\x", c);
            ++i;
        } else if (c == 0xC2 && static_cast<unsigned char>(s[i + 1]) < 0xA0) {
            AppendEscape(out, "\\u00", static_cast<unsigned char>(s[i + 1]));
            i += 2;
        } else {
            out.append(s.substr(i, n));
            i += n;
        }
    }
    return out;
}

std::string ShownText(std::string_view s, std::size_t max)
{
    std::string out;
    std::size_t shown = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        // A character is counted once, at its first byte.
        if ((c & 0xC0) != 0x80 && shown++ == max)
            return out + "...";
        if (c < 0x20 || c == 0x7F) {
            AppendEscape(out, "\\x", c);
        } else if (c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(s[i + 1]) < 0xA0) {
            AppendEscape(out, "\\u00", static_cast<unsigned char>(s[++i]));
        } else {
            out += char(c);
        }
    }
    return out;
}

}  // namespace brennic
