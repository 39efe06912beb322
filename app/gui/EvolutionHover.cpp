// The evolution chart's readout under the pointer: the time and what each
// curve shown holds there, in the user's decimal form.
#include "app/gui/EvolutionPage.h"

#include "app/core/results/CurveValue.h"
#include "app/core/results/ResultText.h"
#include "app/core/tables/TimeSeries.h"
#include "app/gui/ClockAxis.h"

namespace brennic {

namespace {

void AddLine(QString& text, const QString& name, const TCurve& curve, double x, int decimals, const QString& unit,
             char16_t decimal)
{
    const QXYSeries* series = curve.Series();
    if (!series || !series->isVisible())
        return;
    const std::optional<double> v = CurveValueAt(curve.Points(), x);
    if (!v)
        return;
    text += QStringLiteral("\n") + name + QStringLiteral(": ") +
            QString::fromStdString(FixedText(*v, decimals, decimal)) + unit;
}

}  // namespace

QString TEvolutionPage::HoverText(double minutes) const
{
    if (!record_ || curves_.empty() || curves_.front().Points().empty())
        return {};
    QString text;
    if (Clock && Clock->Zero())
        text = QString::fromStdString(DateTimeText(*Clock->Zero() + minutes * 60).substr(11, 5)) +
               QStringLiteral(" (minute ") + QString::fromStdString(FixedText(minutes, 1, decimal_)) + u')';
    else
        text = QString::fromStdString(FixedText(minutes, 1, decimal_)) + QStringLiteral(" min");
    const QString degrees = QStringLiteral(" \u00b0C");
    for (const TCurve& c : curves_) AddLine(text, c.Series()->name(), c, minutes, 2, degrees, decimal_);
    AddLine(text, DewPoint->name(), dew_, minutes, 2, degrees, decimal_);
    AddLine(text, SurfaceMinusAir->name(), difference_, minutes, 2, degrees, decimal_);
    AddLine(text, MirrorSeeing->name(), seeing_, minutes, 2, QStringLiteral("\u2033"), decimal_);
    for (const TCurve& c : keptCurves_)
        if (!c.Series()->name().isEmpty())
            AddLine(text, c.Series()->name() + QStringLiteral(" (surface)"), c, minutes, 2, degrees, decimal_);
    return text;
}

}  // namespace brennic
