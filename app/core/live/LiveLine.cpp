#include "app/core/live/LiveLine.h"

#include "app/core/tables/TextCells.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

namespace brennic {

namespace {

struct TValue {
    std::string Label;  // empty in a row of numbers
    double Celsius;
};

bool IsSeparator(char c)
{
    return c == ',' || c == ';' || c == '\t' || c == ' ' || c == '|';
}

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A number at p, with its unit after it (°C, C, °F, F); advances p.
bool ReadNumber(std::string_view line, std::size_t& p, double& celsius)
{
    double v;
    const char* begin = line.data() + p;
    if (p < line.size() && line[p] == '+')
        ++begin;
    const auto r = std::from_chars(begin, line.data() + line.size(), v);
    if (r.ec != std::errc() || !std::isfinite(v))
        return false;
    p = std::size_t(r.ptr - line.data());
    while (p < line.size() && line[p] == ' ') ++p;
    if (line.substr(p, 2) == "\u00b0")  // the degree sign in UTF-8
        p += 2;
    bool fahrenheit = false;
    if (p < line.size() && (line[p] == 'C' || line[p] == 'F') &&
        (p + 1 == line.size() || !std::isalnum(static_cast<unsigned char>(line[p + 1])))) {
        fahrenheit = line[p] == 'F';
        ++p;
    }
    celsius = fahrenheit ? (v - 32) * 5 / 9 : v;
    return true;
}

std::vector<TValue> Labelled(std::string_view line)
{
    std::vector<TValue> values;
    std::size_t p = 0;
    while (p < line.size()) {
        while (p < line.size() && IsSeparator(line[p])) ++p;
        const std::size_t mark = line.find_first_of(":=", p);
        if (mark == std::string_view::npos)
            break;
        std::string_view label = Trim(line.substr(p, mark - p));
        p = mark + 1;
        while (p < line.size() && line[p] == ' ') ++p;
        double v;
        if (label.empty() || !ReadNumber(line, p, v))
            throw EBrennicError("'" + ShownText(std::string(line)) + "' has a label without a number after it");
        values.push_back({Lower(label), v});
    }
    return values;
}

std::vector<TValue> Numbers(std::string_view line)
{
    std::vector<TValue> values;
    std::size_t p = 0;
    while (p < line.size()) {
        while (p < line.size() && IsSeparator(line[p])) ++p;
        if (p == line.size())
            break;
        double v;
        if (!ReadNumber(line, p, v))
            throw EBrennicError("'" + ShownText(std::string(line)) + "' is not a row of numbers");
        values.push_back({"", v});
    }
    if (values.empty())
        throw EBrennicError("the line is empty");
    return values;
}

// The labels a role is known by when --measured-columns leaves it out.
bool KnownLabel(TLiveRole role, const std::string& label)
{
    static const std::array<std::vector<std::string>, LiveRoleCount> Known{{
        {"air", "ambient", "outside", "t_ambient"},
        {"mirror", "surface", "front", "t_surface"},
        {"back", "rear", "t_back"},
        {"dew", "dewpoint", "dew point", "t_dew"},
        {"sky", "t_sky"},
    }};
    for (const std::string& k : Known[std::size_t(role)])
        if (label == k)
            return true;
    return false;
}

}  // namespace

TLineRoles ParseLineRoles(const std::string& text)
{
    TLineRoles roles;
    if (Trim(text).empty())
        return roles;
    roles.Given = true;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(',', start);
        const std::string item(Trim(std::string_view(text).substr(start, end == std::string::npos ? end : end - start)));
        const std::size_t eq = item.find('=');
        int role = -1;
        for (int r = 0; r < LiveRoleCount && eq != std::string::npos; ++r)
            if (item.compare(0, eq, LiveRoleKey(TLiveRole(r))) == 0)
                role = r;
        if (role < 0 || eq + 1 >= item.size())
            throw EBrennicError("--measured-columns: '" + ShownText(item) +
                                "' is not ROLE=COLUMN (roles: air, surface, back, dew, sky; a column by its number "
                                "from 1 or its label)");
        roles.Names[std::size_t(role)] = Lower(Trim(std::string_view(item).substr(eq + 1)));
        if (end == std::string::npos)
            return roles;
        start = end + 1;
    }
}

TLiveRow ParseLiveLine(std::string_view line, const TLineRoles& roles)
{
    line = Trim(line);
    const bool labelled = line.find_first_of(":=") != std::string_view::npos;
    const std::vector<TValue> values = labelled ? Labelled(line) : Numbers(line);
    if (values.empty())
        throw EBrennicError("'" + ShownText(std::string(line)) + "' has no value");
    TLiveRow row;
    bool any = false;
    for (int r = 0; r < LiveRoleCount; ++r) {
        const std::string& name = roles.Names[std::size_t(r)];
        if (!roles.Given) {
            for (const TValue& v : values)
                if (labelled && KnownLabel(TLiveRole(r), v.Label)) {
                    row.Values[std::size_t(r)] = v.Celsius;
                    any = true;
                }
            continue;
        }
        if (name.empty())
            continue;
        std::int32_t column = 0;
        const bool numbered = TryStrToInt(FromUtf8(name), column);
        const TValue* found = nullptr;
        if (numbered && column >= 1 && std::size_t(column) <= values.size())
            found = &values[std::size_t(column) - 1];
        for (const TValue& v : values)
            if (!numbered && v.Label == name)
                found = &v;
        if (!found)
            throw EBrennicError("'" + ShownText(std::string(line)) + "' has no " +
                                (numbered ? "column " + name : "value labelled '" + name + "'") + " for the " +
                                LiveRoleKey(TLiveRole(r)));
        row.Values[std::size_t(r)] = found->Celsius;
        any = true;
    }
    if (!any) {
        std::string labels;
        for (const TValue& v : values) labels += (labels.empty() ? "" : ", ") + (v.Label.empty() ? "a number" : v.Label);
        throw EBrennicError("'" + ShownText(std::string(line)) + "' names no role (" + labels +
                            "): choose with --measured-columns, e.g. surface=1,air=2 or surface=Mirror,air=Air");
    }
    return row;
}

}  // namespace brennic
