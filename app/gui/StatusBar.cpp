#include "app/gui/StatusBar.h"

#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <QTimer>

namespace brennic {

TClickStatusBar::TClickStatusBar(QWidget* parent)
    : QWidget(parent), panel_(new QLabel(this)), progress_(new QProgressBar(this)), restore_(new QTimer(this))
{
    progress_->setObjectName(QStringLiteral("RunProgress"));
    progress_->setRange(0, 1000);
    progress_->setVisible(false);
    restore_->setSingleShot(true);
    connect(restore_, &QTimer::timeout, this, [this] { panel_->setText(Notice()); });
    panel_->setObjectName(QStringLiteral("StatusBarPanel"));
    panel_->setContentsMargins(3, 0, 3, 0);
    panel_->setText(Notice());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

QString TClickStatusBar::Notice()
{
    return QStringLiteral(
        "\u00a9 2026 The Brennic authors \u2014 mirror cooling predictions. Help: press F1 or click here.");
}

void TClickStatusBar::ShowMessage(const QString& message, int milliseconds)
{
    panel_->setText(message);
    restore_->start(milliseconds);
}

void TClickStatusBar::ShowProgress(double fraction, const QString& timeLeft)
{
    progress_->setValue(int(std::lround(std::clamp(fraction, 0.0, 1.0) * 1000)));
    progress_->setFormat(timeLeft.isEmpty() ? QStringLiteral("%p%") : QStringLiteral("%p% \u2014 ") + timeLeft);
    progress_->setVisible(true);
}

void TClickStatusBar::EndProgress()
{
    progress_->setVisible(false);
}

void TClickStatusBar::mouseReleaseEvent(QMouseEvent* e)
{
    QWidget::mouseReleaseEvent(e);
    if (rect().contains(e->position().toPoint()))
        emit clicked();
}

void TClickStatusBar::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    panel_->setGeometry(rect());
    // The bar over the right end of the notice while a run goes.
    constexpr int ProgressWidth = 260;
    progress_->setGeometry(std::max(0, width() - ProgressWidth - 2), 1, std::min(ProgressWidth, width()),
                           std::max(1, height() - 2));
}

}  // namespace brennic
