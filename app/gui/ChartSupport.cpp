#include "app/gui/ChartSupport.h"

#include <QFont>
#include <QGraphicsLayout>
#include <QLinearGradient>
#include <QList>

#include <algorithm>
#include <cmath>

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

void AttachAxes(QChart* chart)
{
    auto* x = new QValueAxis(chart);
    auto* y = new QValueAxis(chart);
    x->setObjectName(QStringLiteral("BottomAxis"));
    y->setObjectName(QStringLiteral("LeftAxis"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
}

QValueAxis* ChartAxis(QChartView* view, Qt::Orientation o)
{
    const auto axes = view->chart()->axes(o);
    for (QAbstractAxis* a : axes)
        if (a->alignment() == (o == Qt::Horizontal ? Qt::AlignBottom : Qt::AlignLeft))
            return qobject_cast<QValueAxis*>(a);
    return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.first());
}

QLocale LocaleWithDecimal(char16_t sep)
{
    QLocale locale = QLocale::system();
    if (locale.decimalPoint() != QString(QChar(sep)))
        locale = sep == u',' ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

void TitleAxis(QValueAxis* axis, const QString& title)
{
    axis->setTitleText(title);
    QFont font = axis->titleFont();
    font.setPixelSize(11);
    font.setBold(false);
    axis->setTitleFont(font);
}

double RoundTickStep(double span)
{
    if (!(span > 0) || !std::isfinite(span))
        return 1;
    const double raw = span / 6;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (raw <= m * power * 1.0000001)
            return m * power;
    return 10 * power;
}

void UseRoundTicks(QValueAxis* axis)
{
    UseRoundTicks(axis, axis->min(), axis->max());
}

void UseRoundTicks(QValueAxis* axis, double min, double max)
{
    const double step = RoundTickStep(max - min);
    const int decimals = std::clamp(int(-std::floor(std::log10(step) + 1e-9)), 0, 12);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    const QString format = QStringLiteral("%.") + QString::number(decimals) + QStringLiteral("f");
    if (axis->labelFormat() != format)
        axis->setLabelFormat(format);
}

TCurve::TCurve(QXYSeries* series, const QColor& color) : TCurve(series, QPen(color, 1)) {}

TCurve::TCurve(QXYSeries* series, const QPen& pen) : series_(series)
{
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
    for (const TPoint& p : scratch_) list.append(QPointF(p.x, p.y));
    series_->replace(list);
    dirty_ = false;
}

}  // namespace brennic
