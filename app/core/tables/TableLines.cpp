// Splitting a table's text into lines, with what belongs to no table marked.
#include "app/core/tables/TableLayout.h"

#include "app/core/tables/TextCells.h"
#include "support/BoundedRead.h"
#include "support/LibStandard.h"

namespace brennic {

namespace {

std::string WithoutMarkup(std::string_view line)
{
    std::string out;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line.compare(i, 4, "<!--") == 0) {
            const std::size_t end = line.find("-->", i + 4);
            i = end == std::string_view::npos ? line.size() : end + 3;
        } else if (line[i] == '<' && Contains(line.substr(i, 3), "<br")) {
            const std::size_t end = line.find('>', i);
            i = end == std::string_view::npos ? line.size() : end + 1;
        } else {
            out += line[i++];
        }
    }
    return out;
}

// Lines that belong to no table: a block between "-BEGIN HEADER-" and
// "-END HEADER-" (NASA POWER), the lines up to "data" and from "end data"
// (BADC-CSV), the annotations "#group", "#datatype", "#default" (InfluxDB),
// a "TOA5" environment line, and comment lines of a "#" alone.
void MarkPreambles(TCleanLines& c)
{
    const std::size_t n = c.Lines.size();
    std::size_t begin = n, data = n;
    const bool badc = n > 0 && Contains(c.Lines[0], "BADC-CSV");
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view t = Trim(Unquoted(Trim(c.Lines[i])));
        if (t == "-BEGIN HEADER-")
            begin = i;
        if (t == "-END HEADER-" && begin < i)
            for (std::size_t k = begin; k <= i; ++k) c.Gone[k] = 1;
        if (badc && EqualsIgnoreCase(Trim(c.Lines[i]), "data") && data == n) {
            data = i;
            for (std::size_t k = 0; k <= i; ++k) c.Gone[k] = 1;
        }
        if (EqualsIgnoreCase(Trim(c.Lines[i]), "end data") && data < i)
            for (std::size_t k = i; k < n; ++k) c.Gone[k] = 1;
        const std::string_view raw = Trim(c.Lines[i]);
        if (raw.rfind("#group", 0) == 0 || raw.rfind("#datatype", 0) == 0 || raw.rfind("#default", 0) == 0 ||
            (i == 0 && t.rfind("TOA5", 0) == 0) || (!raw.empty() && raw.find_first_not_of("# ") == std::string_view::npos))
            c.Gone[i] = 1;
    }
}

}  // namespace

char SeparatorOf(std::string_view line)
{
    return line.find('\t') != std::string_view::npos  ? '\t'
           : line.find(';') != std::string_view::npos ? ';'
                                                      : ',';
}

TCleanLines CleanLines(std::string_view text, const std::string& file)
{
    TCleanLines c;
    c.Lines = SplitLines(text);
    c.Gone.assign(c.Lines.size(), 0);
    for (std::size_t i = 0; i < c.Lines.size(); ++i)
        if (c.Lines[i].size() > LineSizeLimit)
            RefuseTable(file, i + 1, "the line is longer than the limit of " + SizeText(LineSizeLimit));
    c.Storage.reserve(c.Lines.size());  // at most one rewritten text per line: the views stay valid
    const bool markup = Contains(text, "<br") || text.find("<!--") != std::string_view::npos;
    for (std::size_t i = 0; i < c.Lines.size(); ++i) {
        std::string_view line = c.Lines[i];
        std::string rewritten;
        bool changed = false;
        if (markup && line.find('<') != std::string_view::npos) {
            rewritten = WithoutMarkup(line);
            changed = true;
            c.Gone[i] = Trim(rewritten).empty() && !Trim(line).empty();
            line = rewritten;
        }
        // A serial monitor's "18:00:00.123 -> 12.31,9.80": the clock becomes a field.
        const std::size_t arrow = line.find(" -> ");
        double clock;
        if (arrow != std::string_view::npos && ParseClock(line.substr(0, arrow), clock)) {
            const std::string rest(line.substr(arrow + 4));
            rewritten = std::string(Trim(line.substr(0, arrow))) + SeparatorOf(rest) + rest;
            changed = true;
        }
        if (changed) {
            c.Storage.push_back(std::move(rewritten));
            c.Lines[i] = c.Storage.back();
        }
    }
    MarkPreambles(c);
    return c;
}

}  // namespace brennic
