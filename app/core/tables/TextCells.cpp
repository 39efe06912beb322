#include "app/core/tables/TextCells.h"

#include <charconv>
#include <cmath>

namespace brennic {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string_view Unquoted(std::string_view s)
{
    s = Trim(s);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
        s = s.substr(1, s.size() - 2);
    return Trim(s);
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

bool Contains(std::string_view text, std::string_view word)
{
    if (word.size() > text.size())
        return false;
    for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < word.size() && LowerAscii(text[i + k]) == LowerAscii(word[k])) ++k;
        if (k == word.size())
            return true;
    }
    return false;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && Contains(a, b);
}

std::vector<std::string> Words(std::string_view name)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : name) {
        const bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (alnum)
            word += LowerAscii(c);
        else if (!word.empty())
            words.push_back(std::move(word)), word.clear();
    }
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void SplitFields(std::string_view line, char separator, std::vector<std::string_view>& out)
{
    out.clear();
    std::size_t start = 0;
    if (line.find('"') == std::string_view::npos) {
        while (true) {
            const std::size_t end = line.find(separator, start);
            out.push_back(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
            if (end == std::string_view::npos)
                return;
            start = end + 1;
        }
    }
    bool inQuotes = false;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || (line[i] == separator && !inQuotes)) {
            out.push_back(line.substr(start, i - start));
            start = i + 1;
        } else if (line[i] == '"') {
            inQuotes = !inQuotes;
        }
    }
}

bool Number(std::string_view cell, bool commaDecimal, double& value)
{
    cell = Trim(cell);
    if (cell.empty() || cell.size() > 400)
        return false;
    char buffer[401];
    std::size_t n = 0;
    std::size_t i = 0;
    if (cell[0] == '+')
        ++i;
    if (i < cell.size() && (cell[i] == '+' || cell[i] == '-') && i > 0)
        return false;  // one sign at the most
    bool digits = false;
    for (; i < cell.size(); ++i) {
        char c = cell[i];
        if (c == ',' && commaDecimal)
            c = '.';
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E' || c == '+'))
            return false;
        digits = digits || (c >= '0' && c <= '9');
        buffer[n++] = c;
    }
    if (!digits)
        return false;
    const auto r = std::from_chars(buffer, buffer + n, value);
    return r.ec == std::errc() && r.ptr == buffer + n && std::isfinite(value);
}

bool GapCell(std::string_view cell)
{
    cell = Unquoted(cell);
    if (cell.empty())
        return true;
    for (std::string_view word : {"nan", "-", "---", "--", "n/a", "unavailable", "unknown", "null"})
        if (EqualsIgnoreCase(cell, word))
            return true;
    return false;
}

}  // namespace brennic
