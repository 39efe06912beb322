// The cells of a text table: lines, fields, quotes, numbers and the words
// that stand for "no value".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brennic {

std::string_view Trim(std::string_view s);
// Without the surrounding spaces and one pair of double quotes.
std::string_view Unquoted(std::string_view s);
char LowerAscii(char c);
// ASCII case ignored.
bool Contains(std::string_view text, std::string_view word);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// The words of a name: runs of letters and digits, lower case.
std::vector<std::string> Words(std::string_view name);

// The lines of the text, without their CR LF or LF, and without a BOM.
std::vector<std::string_view> SplitLines(std::string_view text);
// The fields of a line; a separator between double quotes belongs to the field.
void SplitFields(std::string_view line, char separator, std::vector<std::string_view>& out);

// A number: optional sign, digits with an optional fraction (after "." or,
// where allowed, ","), an optional exponent. False for anything else.
bool Number(std::string_view cell, bool commaDecimal, double& value);
// An empty cell or a word that loggers and services write for a missing
// value: NaN, -, ---, --, N/A, unavailable, unknown, null.
bool GapCell(std::string_view cell);

}  // namespace brennic
