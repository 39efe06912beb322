// The evolution page in the units shown: its curves drawn again from the
// run, the axes' titles, the markers' tolerances and the strip's key.
#include "app/gui/EvolutionPage.h"

#include "app/gui/ChartSupport.h"
#include "app/gui/StripView.h"
#include "app/gui/WindowText.h"
#include "support/NumberText.h"

namespace brennic {

void TEvolutionPage::SetUnits(const TDisplayUnits& units, TRunRecord* record)
{
    units_ = units;
    LabelUnits();
    if (record && record == record_) {
        ClearCurves();
        ShowDewPoint(*record);
        Sync(*record);
    }
    if (kept_ && record_)
        ShowKept(*kept_, *record_, decimal_);
    FitHome(true);
    UpdateViews();
    ShowReadout();
}

void TEvolutionPage::LabelUnits()
{
    // The markers name the tolerance (1 and 0.5 degC) in the unit shown.
    const QString degrees = QString::fromStdString(" " + TemperatureSymbol(units_.Temperature));
    for (std::size_t i = 0; i < 2; ++i)
        markerLabels_[i]->setText(ToQ(FormatFloat(ShownDifference(i == 0 ? 1.0 : 0.5), decimal_)) + degrees);
    TitleAxis(ChartAxis(Chart, Qt::Vertical), QStringLiteral("Temperature (%1)").arg(degrees.mid(1)));
    TitleAxis(differenceAxis_, QStringLiteral("Surface \u2212 air (%1)")
                                   .arg(units_.Temperature == TTemperatureUnit::Celsius ? QStringLiteral("K") : degrees.mid(1)));
    Strip->setToolTip(
        QStringLiteral("Each column is one time step, each row one element from the front (top) to the back (bottom).\n"
                       "Green: at the air temperature; yellow to red: up to %1%2 or more from it; grey: not yet computed.")
            .arg(ToQ(FormatFloat(ShownDifference(6), decimal_)), degrees));
}

}  // namespace brennic
