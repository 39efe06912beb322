#include "app/gui/ZoomChartView.h"

#include "app/gui/ChartSupport.h"
#include "app/gui/ErrorReport.h"

#include <QGraphicsLineItem>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QRubberBand>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace brennic {

const char* const TZoomChartView::HowToZoom =
    "Drag to the right to zoom in, right-click to step back, double-click or drag to the left for the whole run; "
    "after a click, + and - zoom and 0 shows the whole run";

namespace {

// "+" halves both ranges about their middles.
constexpr double KeyZoomFactor = 0.5;

}  // namespace

TZoomChartView::TZoomChartView(QChart* chart, QWidget* parent)
    : QChartView(chart, parent), band_(new QRubberBand(QRubberBand::Rectangle, viewport())),
      homeButton_(new QToolButton(this)), hoverLabel_(new QLabel(viewport()))
{
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    hoverLabel_->setObjectName(QStringLiteral("HoverReadout"));
    hoverLabel_->setStyleSheet(QStringLiteral(
        "QLabel { background: rgba(255, 255, 255, 230); border: 1px solid #909090; padding: 2px 4px; }"));
    hoverLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);
    hoverLabel_->hide();
    setRubberBand(QChartView::NoRubberBand);  // zooming is done here
    setToolTip(QString::fromLatin1(HowToZoom));
    // A click gives the keys to the chart; Tab passes it by.
    setFocusPolicy(Qt::ClickFocus);
    homeButton_->setObjectName(QStringLiteral("ZoomHome"));
    homeButton_->setText(QStringLiteral("Whole run"));
    homeButton_->setToolTip(QStringLiteral("Show the whole run again (0 or a double-click)"));
    homeButton_->setFocusPolicy(Qt::NoFocus);
    homeButton_->setVisible(false);
    connect(homeButton_, &QToolButton::clicked, this, [this] { ZoomHome(); });
    connect(this, &TZoomChartView::zoomChanged, this, [this] { homeButton_->setVisible(Zoomed()); });
}

void TZoomChartView::PlaceHomeButton()
{
    homeButton_->adjustSize();
    homeButton_->move(width() - homeButton_->width() - 4, 4);
}

void TZoomChartView::resizeEvent(QResizeEvent* e)
{
    QChartView::resizeEvent(e);
    PlaceHomeButton();
}

void TZoomChartView::keyPressEvent(QKeyEvent* e)
{
    const TAxisRanges s = Shown();
    switch (e->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: {
        const double cx = (s.xMin + s.xMax) / 2, hx = (s.xMax - s.xMin) / 2 * KeyZoomFactor;
        const double cy = (s.yMin + s.yMax) / 2, hy = (s.yMax - s.yMin) / 2 * KeyZoomFactor;
        ZoomIn({cx - hx, cx + hx, cy - hy, cy + hy});
        break;
    }
    case Qt::Key_Minus:
        StepBack();
        break;
    case Qt::Key_0:
        ZoomHome();
        break;
    default:
        QChartView::keyPressEvent(e);
        return;
    }
    e->accept();
}

QValueAxis* TZoomChartView::Axis(Qt::Orientation o) const
{
    const auto axes = chart()->axes(o);
    return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.first());
}

TAxisRanges TZoomChartView::Shown() const
{
    const QValueAxis* x = Axis(Qt::Horizontal);
    const QValueAxis* y = Axis(Qt::Vertical);
    if (!x || !y)
        return home_;
    return {x->min(), x->max(), y->min(), y->max()};
}

void TZoomChartView::Apply(const TAxisRanges& r)
{
    QValueAxis* x = Axis(Qt::Horizontal);
    QValueAxis* y = Axis(Qt::Vertical);
    if (!x || !y)
        return;
    for (auto [axis, lo, hi] : {std::tuple{x, r.xMin, r.xMax}, std::tuple{y, r.yMin, r.yMax}}) {
        if (axis->min() == lo && axis->max() == hi)
            continue;
        if (axis->tickType() == QValueAxis::TicksDynamic)
            UseRoundTicks(axis, lo, hi);
        axis->setRange(lo, hi);
    }
}

void TZoomChartView::SetHome(const TAxisRanges& home, bool resetZoom)
{
    home_ = home;
    if (resetZoom) {
        history_.clear();
        homeButton_->setVisible(false);
    }
    if (history_.empty())
        Apply(home_);
}

void TZoomChartView::ZoomIn(const TAxisRanges& to)
{
    // A range too narrow for the axis to draw is not a zoom.
    const auto usable = [](double a, double b) {
        return std::isfinite(a) && std::isfinite(b) && b - a > 1e-9 * std::max(1.0, std::fabs(a) + std::fabs(b));
    };
    if (!usable(to.xMin, to.xMax) || !usable(to.yMin, to.yMax))
        return;
    history_.push_back(Shown());
    Apply(to);
    emit zoomChanged();
}

void TZoomChartView::StepBack()
{
    if (history_.empty())
        return;
    const TAxisRanges previous = history_.back();
    history_.pop_back();
    Apply(history_.empty() ? home_ : previous);
    emit zoomChanged();
}

void TZoomChartView::ZoomHome()
{
    if (history_.empty() && Shown() == home_)
        return;
    history_.clear();
    Apply(home_);
    emit zoomChanged();
}

void TZoomChartView::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        origin_ = e->position().toPoint();
        dragging_ = true;
        band_->setGeometry(QRect(origin_, QSize()));
        band_->show();
    }
    e->accept();
}

void TZoomChartView::mouseMoveEvent(QMouseEvent* e)
{
    if (dragging_)
        band_->setGeometry(QRect(origin_, e->position().toPoint()).normalized());
    Guarded([&] { ShowHover(e->position()); });
    e->accept();
}

void TZoomChartView::leaveEvent(QEvent* e)
{
    HideHover();
    QChartView::leaveEvent(e);
}

void TZoomChartView::HideHover()
{
    hoverLabel_->hide();
    if (cross_)
        cross_->hide();
}

void TZoomChartView::ShowHover(QPointF viewPoint)
{
    const QRectF plot = chart()->plotArea();
    const QPointF at = mapToScene(viewPoint.toPoint());
    const QString text =
        HoverText && plot.contains(at) ? HoverText(chart()->mapToValue(at).x()) : QString();
    if (text.isEmpty()) {
        HideHover();
        return;
    }
    if (!cross_) {
        cross_ = new QGraphicsLineItem;
        cross_->setPen(QPen(QColor(96, 96, 96), 0, Qt::DotLine));
        cross_->setZValue(1000);
        scene()->addItem(cross_);
    }
    cross_->setLine(at.x(), plot.top(), at.x(), plot.bottom());
    cross_->show();
    hoverLabel_->setText(text);
    hoverLabel_->adjustSize();
    // Beside the pointer, on the side with room, within the plot.
    const QPoint pointer = mapFromScene(at);
    const QRect area = mapFromScene(plot).boundingRect();
    int x = pointer.x() + 12;
    if (x + hoverLabel_->width() > area.right())
        x = pointer.x() - 12 - hoverLabel_->width();
    const int y = std::clamp(pointer.y() - hoverLabel_->height() / 2, area.top(), std::max(area.top(), area.bottom() - hoverLabel_->height()));
    hoverLabel_->move(std::max(area.left(), x), y);
    hoverLabel_->show();
    hoverLabel_->raise();
}

void TZoomChartView::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() == Qt::RightButton) {
        StepBack();
        return;
    }
    if (e->button() != Qt::LeftButton || !dragging_)
        return;
    dragging_ = false;
    band_->hide();
    const QPoint end = e->position().toPoint();
    if (std::abs(end.x() - origin_.x()) < 4 || std::abs(end.y() - origin_.y()) < 4)
        return;  // a click, not a drag
    if (end.x() < origin_.x()) {
        ZoomHome();
        return;
    }
    const QRectF plot = chart()->plotArea();
    const QRectF r = QRectF(mapToScene(origin_), mapToScene(end)).normalized().intersected(plot);
    if (r.isEmpty())
        return;
    const QPointF low = chart()->mapToValue(r.bottomLeft());
    const QPointF high = chart()->mapToValue(r.topRight());
    ZoomIn({low.x(), high.x(), low.y(), high.y()});
}

void TZoomChartView::mouseDoubleClickEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() == Qt::LeftButton)
        ZoomHome();
}

void TZoomChartView::wheelEvent(QWheelEvent* e)
{
    e->ignore();  // the wheel scrolls whatever holds the chart, never the axes
}

}  // namespace brennic
