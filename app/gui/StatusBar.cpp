#include "app/gui/StatusBar.h"

#include <QMouseEvent>

namespace brennic {

TClickStatusBar::TClickStatusBar(QWidget* parent) : QWidget(parent), panel_(new QLabel(this))
{
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
