#include "app/gui/StatusBar.h"

#include <QMouseEvent>
#include <QTimer>

namespace brennic {

TClickStatusBar::TClickStatusBar(QWidget* parent)
    : QWidget(parent), panel_(new QLabel(this)), restore_(new QTimer(this))
{
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
}

}  // namespace brennic
