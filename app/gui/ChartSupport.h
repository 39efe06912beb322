// The charts' fixed look, and curves that keep every point while the chart
// draws a decimated copy.
#pragma once

#include "app/core/results/Decimator.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QLocale>
#include <QValueAxis>

#include <vector>

namespace brennic {

// Gradient background, margins, title font, frame.
void StyleChart(QChartView* view, const QString& title, const QMargins& margins);

// Value axes at the bottom and the left, attached to every series of the chart.
void AttachAxes(QChart* chart);
// The chart's value axis of that orientation.
QValueAxis* ChartAxis(QChartView* view, Qt::Orientation orientation);

// A locale whose decimal point is the given separator, without group
// separators, for the numbers a chart writes.
QLocale LocaleWithDecimal(char16_t decimalSeparator);

// Titles an axis ("Time (min)").
void TitleAxis(QValueAxis* axis, const QString& title);

// Ticks at round values for the axis's range: steps of 1, 2 or 5 times a
// power of ten, anchored at 0, with as many decimals as the step needs.
void UseRoundTicks(QValueAxis* axis);
// The same for a range about to be set: a range far wider than the last
// with the last tick interval would make the axis create its ticks by the
// thousand.
void UseRoundTicks(QValueAxis* axis, double min, double max);
double RoundTickStep(double span);

// A series with all its points and what the plot shows of them.
class TCurve {
public:
    TCurve() = default;
    TCurve(QXYSeries* series, const QColor& color);
    TCurve(QXYSeries* series, const QPen& pen);

    QXYSeries* Series() const { return series_; }
    const std::vector<TPoint>& Points() const { return points_; }

    void Clear();
    void Append(double x, double y);
    void Assign(std::vector<TPoint>&& points);
    // The plot now spans [xMin, xMax] over the given pixel width.
    void SetView(double xMin, double xMax, int pixels);
    // Pushes the decimated points into the series if they changed.
    void Sync();

private:
    QXYSeries* series_ = nullptr;
    std::vector<TPoint> points_;
    TDecimator decimator_;
    bool dirty_ = false;
    std::vector<TPoint> scratch_;
};

}  // namespace brennic
