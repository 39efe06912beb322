// The charts' fixed look, and curves that keep every point while the chart
// draws a decimated copy.
#pragma once

#include "Decimator.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>

#include <vector>

namespace brennic {

// Gradient background, margins, title font, frame.
void StyleChart(QChartView* view, const QString& title, const QMargins& margins);

// A series with all its points and what the plot shows of them.
class TCurve {
public:
    TCurve() = default;
    TCurve(QLineSeries* series, const QColor& color);

    QLineSeries* Series() const { return series_; }
    const std::vector<TPoint>& Points() const { return points_; }

    void Clear();
    void Append(double x, double y);
    void Assign(std::vector<TPoint>&& points);
    // The plot now spans [xMin, xMax] over the given pixel width.
    void SetView(double xMin, double xMax, int pixels);
    // Pushes the decimated points into the series if they changed.
    void Sync();

private:
    QLineSeries* series_ = nullptr;
    std::vector<TPoint> points_;
    TDecimator decimator_;
    bool dirty_ = false;
    std::vector<TPoint> scratch_;
};

}  // namespace brennic
