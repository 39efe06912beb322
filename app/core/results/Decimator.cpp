#include "app/core/results/Decimator.h"

#include <cmath>

namespace brennic {

void TDecimator::SetRange(double xMin, double xMax, int columns)
{
    xMin_ = xMin;
    xMax_ = xMax;
    columns_.assign(columns < 1 ? 1 : columns, Column{});
    hasBefore_ = hasAfter_ = false;
}

void TDecimator::Clear()
{
    columns_.assign(columns_.size(), Column{});
    hasBefore_ = hasAfter_ = false;
}

void TDecimator::Add(const TPoint& p)
{
    if (p.x < xMin_) {
        before_ = p;  // x only grows: the latest is the nearest
        hasBefore_ = true;
        return;
    }
    if (p.x > xMax_) {
        if (!hasAfter_) {
            after_ = p;
            hasAfter_ = true;
        }
        return;
    }
    const double span = xMax_ - xMin_;
    const std::size_t n = columns_.size();
    std::size_t c = 0;
    if (span > 0) {
        const double f = (p.x - xMin_) / span * double(n);
        c = f >= double(n) ? n - 1 : static_cast<std::size_t>(f);
    }
    Column& col = columns_[c];
    if (!col.used) {
        col.used = true;
        col.low = col.high = p;
        return;
    }
    if (p.y < col.low.y || std::isnan(p.y))
        col.low = p;
    if (p.y >= col.high.y)
        col.high = p;  // on ties the latest, so a flat run keeps both ends
}

void TDecimator::Rebuild(const std::vector<TPoint>& points)
{
    Clear();
    for (const TPoint& p : points) Add(p);
}

void TDecimator::Output(std::vector<TPoint>& out) const
{
    out.clear();
    if (hasBefore_)
        out.push_back(before_);
    for (const Column& c : columns_) {
        if (!c.used)
            continue;
        if (c.low == c.high) {
            out.push_back(c.low);
        } else if (c.low.x <= c.high.x) {
            out.push_back(c.low);
            out.push_back(c.high);
        } else {
            out.push_back(c.high);
            out.push_back(c.low);
        }
    }
    if (hasAfter_)
        out.push_back(after_);
}

}  // namespace brennic
