// The line of a dialog that tells what a file or a fetch gave, or why it
// was refused: wrapped and selectable, so that a refusal is read whole.
#pragma once

#include <QLabel>
#include <QString>

namespace brennic {

inline QLabel* NewMessageLabel(const QString& text, const char* objectName, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(420);
    return label;
}

inline void ShowRefusal(QLabel* label, const QString& message)
{
    label->setText(QStringLiteral("<span style=\"color:#a00000\">") + message.toHtmlEscaped() + QStringLiteral("</span>"));
}

}  // namespace brennic
