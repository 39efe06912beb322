// The evolution page's readouts: the panel beside the chart (the ready
// times, on the local clock for dated air) and the box under the pointer
// (the time and what each curve shown holds there), in the user's decimal form.
#include "app/gui/EvolutionPage.h"

#include "app/core/files/RunSummary.h"
#include "app/core/results/CurveValue.h"
#include "app/core/run/Headline.h"
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
            QString::fromStdString(ShownFixedText(*v, decimals, decimal)) + unit;
}

}  // namespace

QString TEvolutionPage::HoverText(double minutes) const
{
    if (!record_ || curves_.empty() || curves_.front().Points().empty())
        return {};
    QString text;
    if (Clock && Clock->Zero())
        text = QString::fromStdString(ClockTimeText(*Clock->Zero() + minutes * 60)) +
               QStringLiteral(" (minute ") + QString::fromStdString(FixedText(minutes, 1, decimal_)) + u')';
    else
        text = QString::fromStdString(FixedText(minutes, 1, decimal_)) + QStringLiteral(" min");
    const QString degrees = QString::fromStdString(" " + TemperatureSymbol(units_.Temperature));
    for (const TCurve& c : curves_) AddLine(text, c.Series()->name(), c, minutes, 2, degrees, decimal_);
    AddLine(text, DewPoint->name(), dew_, minutes, 2, degrees, decimal_);
    AddLine(text, SurfaceMinusAir->name(), difference_, minutes, 2, degrees, decimal_);
    AddLine(text, MirrorSeeing->name(), seeing_, minutes, 2, QStringLiteral("\u2033"), decimal_);
    for (const TCurve& c : keptCurves_)
        if (!c.Series()->name().isEmpty())
            AddLine(text, c.Series()->name() + QStringLiteral(" (surface)"), c, minutes, 2, degrees, decimal_);
    return text;
}

void TEvolutionPage::ShowReadout()
{
    static const TReadiness none;
    static const std::vector<TKeptRun> noRuns;
    std::vector<std::string> notes = record_ ? ConditionLines(*record_, decimal_, true, units_.Temperature) : std::vector<std::string>();
    if (record_)
        for (std::string& note : RunNotes(*record_, decimal_)) notes.push_back(std::move(note));
    if (!measuredNote_.empty())
        notes.push_back(measuredNote_);
    // Dated air: the current run's times on the local clock.
    std::function<std::string(double)> clock;
    if (record_ && LocalClockZero(*record_))
        clock = [record = record_](double seconds) {
            const std::string at = RunClock(*record, seconds);  // the hour and minute: the axis gives the date
            return at.size() > 5 ? at.substr(at.size() - 5) : at;
        };
    Readout->Show(record_ ? record_->Readiness : none, kept_ ? kept_->Runs() : noRuns, keptLabels_, notes, decimal_,
                  clock, units_.Temperature);
    readoutClock_.start();
    const QString headline = record_ ? QString::fromStdString(brennic::Headline(*record_, decimal_, stopped_, units_.Temperature)) : QString();
    Headline->setToolTip(record_ ? QStringLiteral("Radiation model: ") +
                                       QString::fromStdString(ModelText(record_->Model))
                                 : QString());
    if (headline != Headline->text()) {
        const bool relayout = headline.isEmpty() != Headline->text().isEmpty();
        Headline->setText(headline);
        if (relayout || Headline->height() != Headline->heightForWidth(width()))
            LayOut();
    }
}

}  // namespace brennic
