// The units the window shows (View, Units): degrees Fahrenheit and inches
// (feet for the site's height) instead of degrees Celsius and millimetres
// (metres). The fields keep their values in their own units underneath, so
// scenarios, exports and runs do not change; the choice is kept in the
// settings.
#include "app/gui/MainOrvalis.h"

#include "app/gui/ErrorReport.h"
#include "app/gui/FieldLayout.h"
#include "app/gui/LivePage.h"
#include "app/gui/WindowText.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>

namespace brennic {

namespace {

const QString FahrenheitKey = QStringLiteral("units/temperature");
const QString InchKey = QStringLiteral("units/length");

}  // namespace

void TFrmBrennic::CreateUnitsMenu(QMenu* view)
{
    QMenu* units = view->addMenu(QStringLiteral("&Units"));
    FahrenheitAction = units->addAction(QStringLiteral("Temperatures in \u00b0&F"));
    InchAction = units->addAction(QStringLiteral("Lengths in i&nches and feet"));
    for (QAction* a : {FahrenheitAction, InchAction}) {
        a->setCheckable(true);
        connect(a, &QAction::toggled, this, [this] {
            Guarded([this] {
                TDisplayUnits chosen;
                if (FahrenheitAction->isChecked())
                    chosen.Temperature = TTemperatureUnit::Fahrenheit;
                if (InchAction->isChecked())
                    chosen.Length = TLengthUnit::Inch;
                SetDisplayUnits(chosen);
                const auto settings = OpenSettings();
                settings->setValue(FahrenheitKey, FahrenheitAction->isChecked());
                settings->setValue(InchKey, InchAction->isChecked());
            });
        });
    }
}

void TFrmBrennic::LoadDisplayUnits()
{
    const auto settings = OpenSettings();
    TDisplayUnits units;
    if (settings->value(FahrenheitKey, false).toBool())
        units.Temperature = TTemperatureUnit::Fahrenheit;
    if (settings->value(InchKey, false).toBool())
        units.Length = TLengthUnit::Inch;
    SetDisplayUnits(units);
}

void TFrmBrennic::SetDisplayUnits(const TDisplayUnits& units)
{
    {
        const QSignalBlocker a(FahrenheitAction), b(InchAction);
        FahrenheitAction->setChecked(units.Temperature == TTemperatureUnit::Fahrenheit);
        InchAction->setChecked(units.Length == TLengthUnit::Inch);
    }
    if (units == Units)
        return;
    // The values in their own units, then shown in the new ones: a field
    // the user did not touch reads back exactly what it held.
    const TInputTexts texts = InputTexts();
    Units = units;
    for (int f = 0; f < FieldCount; ++f)
        if (FieldEdit(f))
            SetFieldText(f, ToQ(texts.Text(f)));
    ShowUnitLabels();
    TabSheet1->SetUnits(units);
    TabSheet3->SetUnits(units, &Record);
    TabSheet3->ShowMeasured(MeasuredLog.get());
    if (TabLive)
        TabLive->SetUnits(units);
}

void TFrmBrennic::ShowUnitLabels()
{
    for (int f = 0; f < FieldCount; ++f)
        if (const char* name = FieldLayouts[std::size_t(f)].UnitName)
            if (auto* label = findChild<QLabel*>(QString::fromLatin1(name)))
                label->setText(QString::fromStdString(FieldUnitShown(f, Units)));
}

}  // namespace brennic
