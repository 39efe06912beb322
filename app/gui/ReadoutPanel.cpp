#include "app/gui/ReadoutPanel.h"

#include "app/core/tables/DateTimeText.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

namespace brennic {

namespace {

QString Html(const std::string& s)
{
    return QString::fromStdString(s).toHtmlEscaped();
}

// A difference of temperatures in the unit shown.
QString Degrees(double kelvin, char16_t sep, TTemperatureUnit unit)
{
    return Html(ShownFixedText(TemperatureDifferenceShown(kelvin, unit), 2, sep)) + QStringLiteral("&nbsp;") +
           QString::fromStdString(TemperatureSymbol(unit));
}

}  // namespace

TReadoutPanel::TReadoutPanel(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("Readout"));
    setTextFormat(Qt::RichText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setFrameStyle(QFrame::NoFrame);
    setContentsMargins(4, 2, 4, 2);
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
}

namespace {

// The ready times of the surface, the back and the glass at each tolerance.
QString ReadyTable(const TReadiness& r, char16_t sep, const std::function<std::string(double)>& clock,
                   TTemperatureUnit unit)
{
    QString html = QStringLiteral("<b>Ready</b>: stays this close to the air from") +
                   (clock ? QStringLiteral(" (local time)") : QString()) +
                   QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\"><tr><td></td>");
    for (double tol : r.Tolerances())
        html += QStringLiteral("<td align=\"right\">&nbsp;&nbsp;\u2264&nbsp;") + Html(ToUtf8(FormatFloat(TemperatureDifferenceShown(tol, unit), sep))) +
                QStringLiteral("&nbsp;") + QString::fromStdString(TemperatureSymbol(unit)) + QStringLiteral("</td>");
    html += QStringLiteral("</tr>");
    static const char* const parts[] = {"Surface", "Back", "Glass"};
    const auto cells = ReadyCells(r, sep, clock);
    for (int p = 0; p < TReadiness::PartCount; ++p) {
        html += QStringLiteral("<tr><td>") + QString::fromLatin1(parts[p]) + QStringLiteral("</td>");
        for (const std::string& c : cells[p])
            html += QStringLiteral("<td align=\"right\" nowrap>&nbsp;&nbsp;") + Html(c) + QStringLiteral("</td>");
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

}  // namespace

void TReadoutPanel::Show(const TReadiness& r, const std::vector<TKeptRun>& kept, const std::vector<std::string>& labels,
                         const std::vector<std::string>& notes, char16_t sep,
                         const std::function<std::string(double)>& clock, TTemperatureUnit unit)
{
    QString html;
    if (r.Reports() > 0)
        html += ReadyTable(r, sep, clock, unit);
    else if (kept.empty() && notes.empty()) {
        setText(QString());  // nothing to say before the first run
        return;
    }
    if (r.Reports() > 0) {
        const TStepValues& last = r.Last();
        html += QStringLiteral("Largest front\u2212back: ") + Degrees(r.LargestDifference(), sep, unit) +
                QStringLiteral(" at ") +
                Html(clock ? clock(r.LargestDifferenceTime()) : MinutesText(r.LargestDifferenceTime(), sep)) + QStringLiteral("<br>");
        html += QStringLiteral("<b>Surface \u2212 air now: ") + Degrees(last.Surface - last.Air, sep, unit) +
                QStringLiteral("</b>");
    }
    for (std::size_t i = 0; i < kept.size() && i < labels.size(); ++i) {
        html += QStringLiteral("<br><i>") + Html(labels[i]) + QStringLiteral("</i>: surface ");
        // On the local clock of the kept run's own air, when it has dates.
        std::function<std::string(double)> keptClock;
        if (const std::optional<double> zero = kept[i].ClockZero)
            keptClock = [zero](double seconds) { return ClockTimeText(*zero + seconds); };
        const auto keptCells = ReadyCells(kept[i].Readiness, sep, keptClock);
        for (std::size_t k = 0; k < keptCells[TReadiness::Surface].size(); ++k)
            html += (k ? QStringLiteral(", ") : QString()) + Html(keptCells[TReadiness::Surface][k]);
    }
    for (const std::string& note : notes) html += QStringLiteral("<br>") + Html(note);
    if (html.startsWith(QStringLiteral("<br>")))
        html.remove(0, 4);
    setText(html);
}

}  // namespace brennic
