#include "app/gui/ClockAxis.h"

#include "app/core/tables/DateTimeText.h"
#include "app/gui/ChartSupport.h"

#include <QChart>
#include <QGraphicsSimpleTextItem>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace brennic {

namespace {

// Clock steps (minutes) that read well, and the most labels wanted.
constexpr double ClockSteps[] = {1, 2, 5, 10, 15, 30, 60, 120, 180, 240, 360, 720, 1440};
constexpr double MostLabels = 9;

}  // namespace

TClockAxis::TClockAxis(QChart* chart, QValueAxis* minutes, QString minutesTitle)
    : chart_(chart), axis_(minutes), minutesTitle_(std::move(minutesTitle)), labelsColour_(minutes->labelsColor())
{
}

void TClockAxis::SetZero(std::optional<double> localSeconds)
{
    zero_ = localSeconds;
    // The minutes' labels keep their room (the title stays under it) but
    // are not drawn: the clock's are drawn there instead.
    axis_->setLabelsColor(zero_ ? QColor(0, 0, 0, 0) : labelsColour_);
    if (zero_)
        TitleAxis(axis_, QStringLiteral("Local time (") + QString::fromStdString(DateTimeText(*zero_).substr(0, 10)) +
                             QStringLiteral(")"));
    else
        TitleAxis(axis_, minutesTitle_);
    Update();
}

void TClockAxis::Update()
{
    for (QGraphicsSimpleTextItem* l : labels_) l->hide();
    if (!zero_)
        return;
    const double span = axis_->max() - axis_->min();
    double step = ClockSteps[std::size(ClockSteps) - 1];
    for (double s : ClockSteps)
        if (span / s <= MostLabels) {
            step = s;
            break;
        }
    // Ticks where the local clock is a whole multiple of the step.
    const double zeroMinutes = *zero_ / 60;
    const double anchor = std::ceil(zeroMinutes / step) * step - zeroMinutes;
    axis_->setTickType(QValueAxis::TicksDynamic);
    axis_->setTickAnchor(anchor);
    axis_->setTickInterval(step);
    const QRectF plot = chart_->plotArea();
    std::size_t used = 0;
    const double first = anchor + std::ceil((axis_->min() - anchor) / step - 1e-9) * step;
    for (double m = first; m <= axis_->max() + 1e-9 && used < 64; m += step, ++used) {
        if (used == labels_.size()) {
            labels_.push_back(new QGraphicsSimpleTextItem(chart_));
            labels_.back()->setZValue(10);
        }
        QGraphicsSimpleTextItem* label = labels_[used];
        const std::string at = DateTimeText(*zero_ + m * 60);
        // The date where a new day begins, the time elsewhere.
        label->setText(QString::fromStdString(at.substr(11) == "00:00" ? at.substr(5, 5) : at.substr(11)));
        label->setFont(axis_->labelsFont());
        label->setBrush(labelsColour_);
        const double width = label->boundingRect().width();
        const double x = plot.left() + (m - axis_->min()) / span * plot.width();
        label->setPos(std::clamp(x - width / 2, 0.0, std::max(0.0, chart_->size().width() - width)), plot.bottom() + 4);
        label->show();
    }
}

std::vector<QString> TClockAxis::Labels() const
{
    std::vector<QString> shown;
    for (const QGraphicsSimpleTextItem* l : labels_)
        if (l->isVisible())
            shown.push_back(l->text());
    return shown;
}

}  // namespace brennic
