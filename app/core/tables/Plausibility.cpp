#include "app/core/tables/Plausibility.h"

#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <cmath>
#include <deque>

namespace brennic {

namespace {

std::string Number(double v)
{
    return ToUtf8(FormatFloat(std::round(v * 100) / 100, u'.'));
}

std::string Duration(double seconds)
{
    if (seconds < 120)
        return Number(seconds) + " s";
    if (seconds < 2 * 3600)
        return Number(seconds / 60) + " min";
    if (seconds < 2 * 86400)
        return Number(seconds / 3600) + " h";
    return Number(seconds / 86400) + " days";
}

}  // namespace

void CheckPlausible(const TTimeTable& t, int column, TSeriesKind kind)
{
    const std::vector<double>& values = t.Columns.at(std::size_t(column) - 1);
    const std::string name = "column \"" + t.Names[std::size_t(column)] + "\"";
    const double lo = kind == TSeriesKind::Air ? AirLowest : MirrorLowest;
    const double hi = kind == TSeriesKind::Air ? AirHighest : MirrorHighest;
    const char* what = kind == TSeriesKind::Air ? "the air" : "a mirror";
    // The lowest and highest of the last JumpWindow, as monotonic queues of rows.
    std::deque<std::size_t> lows, highs;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double v = values[i];
        if (std::isnan(v))
            continue;
        if (!(v >= lo && v <= hi))
            RefuseTable(t.File, t.Lines[i], name + " has " + Number(v) + " \u00b0C, which " + what +
                                                " never reaches (" + Number(lo) + " to " + Number(hi) +
                                                " \u00b0C): is it this column, and in \u00b0C? (--air-column chooses)");
        for (std::deque<std::size_t>* q : {&lows, &highs})
            while (!q->empty() && t.Times[q->front()] < t.Times[i] - JumpWindow) q->pop_front();
        for (std::size_t k : {lows.empty() ? i : lows.front(), highs.empty() ? i : highs.front()})
            if (std::fabs(v - values[k]) > LargestJump)
                RefuseTable(t.File, t.Lines[i],
                            name + " jumps from " + Number(values[k]) + " \u00b0C (line " + std::to_string(t.Lines[k]) +
                                ") to " + Number(v) + " \u00b0C within " + Duration(t.Times[i] - t.Times[k]) + ", which " +
                                what + " never does: is it this column, and are its times read right?");
        while (!lows.empty() && values[lows.back()] >= v) lows.pop_back();
        lows.push_back(i);
        while (!highs.empty() && values[highs.back()] <= v) highs.pop_back();
        highs.push_back(i);
    }
}

void CheckTimeScale(const TTimeTable& t, const std::string& timeName)
{
    if (t.Times.size() < 2)
        return;
    const double mean = (t.Times.back() - t.Times.front()) / double(t.Times.size() - 1);
    if (mean >= ShortestMeanStep && mean <= LongestMeanStep)
        return;
    RefuseTable(t.File, t.Lines.back(),
                "the rows of time column \"" + timeName + "\", read as " + t.TimesReadAs + ", lie " + Duration(mean) +
                    " apart on average: " + (mean < ShortestMeanStep ? "less than a second" : "more than six hours") +
                    ", not a logger's or a forecast's steps (--time-column chooses another column)");
}

}  // namespace brennic
