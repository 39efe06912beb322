#include "app/core/tables/DateOrderEvidence.h"

#include "app/core/tables/TextCells.h"
#include "support/LibStandard.h"
#include "support/LocalClock.h"

#include <cmath>

namespace brennic {

namespace {

std::string Quoted(std::string_view text)
{
    return "'" + ShownText(Trim(text)) + "'";
}

EDateOrder LocaleOrder(const TTableOptions& o)
{
    if (o.LocaleOrder != EDateOrder::Auto)
        return o.LocaleOrder;
    EDateOrder order = EDateOrder::DayFirst;
    ParseDateOrder(LocaleDateOrder(), order);
    return order == EDateOrder::Auto ? EDateOrder::DayFirst : order;
}

struct TDated {
    TDateTimeCell Cell;
    std::size_t Line;
    std::string Text;
};

// Where a column of dates read in an order first leaves its order: the
// line that goes back or jumps ahead by weeks, or 0 when none does.
std::size_t Disorder(const std::vector<TDated>& dates, EDateOrder order, std::string& from, std::string& to)
{
    double last = 0;
    for (std::size_t i = 0; i < dates.size(); ++i) {
        double t;
        if (!CellSeconds(dates[i].Cell, order, t))
            return dates[i].Line;
        if (i > 0 && (!(t > last - 1e-6) || t - last > DateOrderLargestStep)) {
            from = DateTimeText(last);
            to = DateTimeText(t);
            return dates[i].Line;
        }
        last = t;
    }
    return 0;
}

template <typename Each>
void ForEachTime(const TCleanLines& c, const TTableHead& h, Each each)
{
    std::vector<std::string_view> fields;
    std::string buffer;
    for (std::size_t i = h.HasHeader ? h.HeaderLine + 1 : h.HeaderLine; i <= h.Last; ++i) {
        if (c.Gone[i] || Trim(c.Lines[i]).empty())
            continue;
        SplitFields(c.Lines[i], h.Separator, fields);
        if (!each(i + 1, RowTimeText(h, fields, buffer)))
            return;
    }
}

}  // namespace

EDateOrder DecideDateOrder(const TCleanLines& c, const TTableHead& h, const TTableOptions& o, TTimeTable& t)
{
    if (o.DateOrder != EDateOrder::Auto || h.Kind != ETimeKind::DateTime)
        return o.DateOrder == EDateOrder::Auto ? EDateOrder::YearFirst : o.DateOrder;
    std::vector<TDated> dates;
    bool first = true, yearFirst = false, dotted = false;
    std::size_t dayFirst = 0, monthFirst = 0;
    std::string dayText, monthText;
    ForEachTime(c, h, [&](std::size_t line, std::string_view text) {
        TDateTimeCell cell;
        const bool parsed = ParseDateTimeCell(text, cell);
        if (first && parsed && cell.Kind == TDateTimeCell::YearFirst) {
            yearFirst = true;  // no doubt; rows written otherwise are refused when read
            return false;
        }
        first = false;
        if (!parsed || cell.Kind == TDateTimeCell::YearFirst)
            return true;
        dotted = dotted || cell.Kind == TDateTimeCell::Dotted;
        if (cell.First > 12 && !dayFirst)
            dayFirst = line, dayText = std::string(text);
        if (cell.Second > 12 && !monthFirst)
            monthFirst = line, monthText = std::string(text);
        dates.push_back({cell, line, std::string(text)});
        return true;
    });
    if (yearFirst || dates.empty())
        return EDateOrder::YearFirst;
    if (dayFirst && monthFirst)
        RefuseTable(t.File, std::max(dayFirst, monthFirst),
                    "the date " + Quoted(dayFirst > monthFirst ? dayText : monthText) + " has the day " +
                        (dayFirst > monthFirst ? "first" : "second") + ", line " +
                        std::to_string(std::min(dayFirst, monthFirst)) + " has it " +
                        (dayFirst > monthFirst ? "second" : "first"));
    if (dotted) {
        t.Notes.push_back("dates with dots read day first, as they are written everywhere");
        return EDateOrder::DayFirst;
    }
    if (dayFirst) {
        t.Notes.push_back("dates read day first, as line " + std::to_string(dayFirst) + " (" + dayText + ") requires");
        return EDateOrder::DayFirst;
    }
    if (monthFirst) {
        t.Notes.push_back("dates read month first, as line " + std::to_string(monthFirst) + " (" + monthText +
                          ") requires");
        return EDateOrder::MonthFirst;
    }
    // Every date could be either: the order in which the column stays in order.
    std::string dayFrom, dayTo, monthFrom, monthTo;
    const std::size_t dayBreak = Disorder(dates, EDateOrder::DayFirst, dayFrom, dayTo);
    const std::size_t monthBreak = Disorder(dates, EDateOrder::MonthFirst, monthFrom, monthTo);
    if (!dayBreak && monthBreak) {
        t.Notes.push_back("dates read day first: month first, line " + std::to_string(monthBreak) + " would jump from " +
                          monthFrom + " to " + monthTo);
        return EDateOrder::DayFirst;
    }
    if (dayBreak && !monthBreak) {
        t.Notes.push_back("dates read month first: day first, line " + std::to_string(dayBreak) + " would jump from " +
                          dayFrom + " to " + dayTo);
        return EDateOrder::MonthFirst;
    }
    const EDateOrder order = LocaleOrder(o);
    t.Notes.push_back(std::string("every date could be read day first or month first: read ") +
                      (order == EDateOrder::MonthFirst ? "month first" : "day first") +
                      ", the order of this computer's dates (--date-order dmy|mdy chooses)");
    return order;
}

}  // namespace brennic
