// The evolution page's legend: over the plot at its right, whole, and off
// the strip under the time axis.
#include "app/gui/EvolutionPage.h"

#include <QFontInfo>
#include <QLegend>
#include <QLegendMarker>

#include <algorithm>

namespace brennic {

namespace {

constexpr int SmallestLegendPixels = 8;  // the legend's text gets no smaller to fit

}  // namespace

void TEvolutionPage::PlaceLegend()
{
    // The legend floats over the plot at the right, 7 % from the top, sized
    // for its visible items stacked one above the other. Where the plot is
    // too short for it (a large scale, a small window), it starts at the
    // plot's top and its text gets smaller, down to a legible size; where it
    // still does not fit it is left out until there is room (View, Inputs
    // gives the plot the window's height), rather than cover the strip.
    QChart* chart = Chart->chart();
    QLegend* legend = chart->legend();
    if (!legendFont_)
        legendFont_ = legend->font();
    const QRectF plot = chart->plotArea();
    QFont font = *legendFont_;
    QSizeF size = LegendSize(font);
    double top = chart->size().height() * 0.07;
    if (top + size.height() > plot.bottom()) {
        top = plot.top() + 2;
        const int pixels = QFontInfo(font).pixelSize();
        for (int smaller = pixels - 1; top + size.height() > plot.bottom() && smaller >= SmallestLegendPixels; --smaller) {
            font.setPixelSize(smaller);
            size = LegendSize(font);
        }
    }
    if (legend->font() != font)
        legend->setFont(font);
    const bool fits = top + size.height() <= plot.bottom();
    if (legend->isVisible() != fits)
        legend->setVisible(fits);
    legend->setGeometry(QRectF(plot.right() - size.width() - 6, top, size.width(), size.height()));
    legend->update();
}

QSizeF TEvolutionPage::LegendSize(const QFont& font) const
{
    const QFontMetrics metrics(font);
    int textWidth = 0, items = 0;
    for (QLegendMarker* m : Chart->chart()->legend()->markers())
        if (m->isVisible()) {
            textWidth = std::max(textWidth, metrics.horizontalAdvance(m->label()));
            ++items;
        }
    return QSizeF(textWidth + 40, items * (metrics.height() + 9) + 16);
}

}  // namespace brennic
