#include "app/core/results/CurveValue.h"

#include <algorithm>

namespace brennic {

std::optional<double> CurveValueAt(const std::vector<TPoint>& points, double x)
{
    if (points.empty() || !(x >= points.front().x) || !(x <= points.back().x))
        return std::nullopt;
    const auto after = std::lower_bound(points.begin(), points.end(), x,
                                        [](const TPoint& p, double v) { return p.x < v; });
    if (after->x == x || after == points.begin())
        return after->y;
    const TPoint& a = *(after - 1);
    const TPoint& b = *after;
    return a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
}

}  // namespace brennic
