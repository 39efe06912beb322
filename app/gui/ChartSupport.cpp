#include "ChartSupport.h"

#include <QFont>
#include <QGraphicsLayout>
#include <QLinearGradient>
#include <QList>

namespace brennic {

void StyleChart(QChartView* view, const QString& title, const QMargins& margins)
{
    QChart* chart = view->chart();
    chart->setTitle(title);
    QFont font = view->font();
    font.setPixelSize(12);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    chart->setTitleFont(font);
    chart->setTitleBrush(QColor(128, 0, 0));
    chart->setMargins(margins);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setBackgroundRoundness(0);
    QLinearGradient background(0, 0, 0, 1);
    background.setCoordinateMode(QGradient::ObjectBoundingMode);
    background.setColorAt(0, QColor(240, 240, 240));
    background.setColorAt(0.5, Qt::white);
    background.setColorAt(1, QColor(214, 214, 214));
    chart->setBackgroundBrush(background);
    chart->setPlotAreaBackgroundVisible(false);
    // No animations: a chart redrawn at once must show its final state.
    chart->setAnimationOptions(QChart::NoAnimation);
    view->setRenderHint(QPainter::Antialiasing, true);
    view->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    view->setLineWidth(1);
}

TCurve::TCurve(QLineSeries* series, const QColor& color) : series_(series)
{
    QPen pen(color);
    pen.setWidth(1);
    series_->setPen(pen);
    series_->setPointsVisible(false);
    series_->setPointLabelsVisible(false);
}

void TCurve::Clear()
{
    points_.clear();
    decimator_.Clear();
    dirty_ = true;
}

void TCurve::Append(double x, double y)
{
    points_.push_back({x, y});
    decimator_.Add(points_.back());
    dirty_ = true;
}

void TCurve::Assign(std::vector<TPoint>&& points)
{
    points_ = std::move(points);
    decimator_.Rebuild(points_);
    dirty_ = true;
}

void TCurve::SetView(double xMin, double xMax, int pixels)
{
    decimator_.SetRange(xMin, xMax, pixels);
    decimator_.Rebuild(points_);
    dirty_ = true;
}

void TCurve::Sync()
{
    if (!dirty_)
        return;
    decimator_.Output(scratch_);
    QList<QPointF> list;
    list.reserve(qsizetype(scratch_.size()));
    for (const TPoint& p : scratch_)
        list.append(QPointF(p.x, p.y));
    series_->replace(list);
    dirty_ = false;
}

}  // namespace brennic
