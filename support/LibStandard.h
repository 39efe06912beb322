// Text routines that fold the 26 ASCII letters only and consult no locale.
#pragma once

#include <string>
#include <string_view>

namespace brennic {

constexpr char16_t FoldAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - 0x20) : c;
}

bool TextEqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
bool TextStartsWithIgnoreCase(std::u16string_view text, std::u16string_view name);
// Negative, zero or positive: the difference of the first differing folded
// code units, or of the lengths when one text is a prefix of the other.
int CompareTextIgnoreCase(std::u16string_view a, std::u16string_view b);

std::string ToUtf8(std::u16string_view s);
std::u16string FromUtf8(std::string_view s);
// Text from outside as a message may show it: control characters as \xNN,
// cut to at most max characters with "..." after.
std::string ShownText(std::string_view s, std::size_t max = 80);
// A message as a terminal may show it: control characters (C0 but line
// breaks and tabs, DEL, and the C1 controls such as CSI, U+009B) written as
// \xNN or \u00NN, and bytes that are no UTF-8 as \xNN, so that no text from
// outside can move the cursor, clear the screen or set a window's title.
std::string TerminalSafe(std::string_view s);
std::u16string FromAscii(std::string_view s);

}  // namespace brennic
