// Reduces a curve whose x values only grow to at most two points (the lowest
// and the highest) per pixel column of the plot, so that drawing costs time
// proportional to the plot's width instead of the number of points. Points
// are added one at a time in O(1); a new x range or width means Rebuild.
#pragma once

#include <vector>

namespace brennic {

struct TPoint {
    double x;
    double y;
    bool operator==(const TPoint&) const = default;
};

class TDecimator {
public:
    void SetRange(double xMin, double xMax, int columns);
    void Clear();
    void Add(const TPoint& p);
    void Rebuild(const std::vector<TPoint>& points);
    // The points to draw, in ascending x: the last point left of the range,
    // up to two per column, the first point right of it.
    void Output(std::vector<TPoint>& out) const;

private:
    struct Column {
        bool used = false;
        TPoint low{}, high{};
    };
    double xMin_ = 0, xMax_ = 1;
    std::vector<Column> columns_ = std::vector<Column>(1);  // one column until told the width
    bool hasBefore_ = false, hasAfter_ = false;
    TPoint before_{}, after_{};
};

}  // namespace brennic
