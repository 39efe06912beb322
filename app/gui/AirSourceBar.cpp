#include "app/gui/AirSourceBar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace brennic {

namespace {
const QString Ramp = QStringLiteral("linear ramp of the two air fields");
const QString FromFile = QStringLiteral("from a file\u2026");
const QString Forecast = QStringLiteral("tonight's forecast\u2026");
}  // namespace

TAirSourceBar::TAirSourceBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("AirSourceBar"));
    auto* caption = new QLabel(QStringLiteral("Air:"), this);
    Source = new QComboBox(this);
    Source->setObjectName(QStringLiteral("cmbAirSource"));
    // A long file name is elided here (in full in the list and the tooltip),
    // so that the bar never pushes the page tabs out of the window.
    Source->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Source->setMinimumContentsLength(20);
    Source->setToolTip(
        QStringLiteral("Where the air temperature comes from: the linear ramp between the initial\n"
                       "and final air temperatures, or a table of times and temperatures"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 2, 2);
    row->setSpacing(4);
    row->addWidget(caption);
    row->addWidget(Source);
    Fill(QString());
    connect(Source, &QComboBox::activated, this, [this](int index) {
        const QString text = Source->itemText(index);
        if (text == FromFile) {
            Fill(file_ ? Source->itemText(1) : QString());  // stays as it was until a file is read
            emit fileRequested();
        } else if (text == Forecast) {
            Fill(file_ ? Source->itemText(1) : QString());
            emit forecastRequested();
        } else if (text == Ramp) {
            emit rampChosen();
        }
    });
}

void TAirSourceBar::Fill(const QString& description)
{
    const QSignalBlocker block(Source);
    Source->clear();
    Source->addItem(Ramp);
    if (!description.isEmpty())
        Source->addItem(description);
    Source->addItem(FromFile);
    Source->addItem(Forecast);
    Source->setCurrentIndex(description.isEmpty() ? 0 : 1);
    if (!description.isEmpty())
        Source->setItemData(1, description, Qt::ToolTipRole);
}

void TAirSourceBar::ShowRamp()
{
    file_ = false;
    Fill(QString());
}

void TAirSourceBar::ShowFile(const QString& description)
{
    file_ = true;
    Fill(description);
}

}  // namespace brennic
