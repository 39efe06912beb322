// The evolution page's markers: the surface ready within 1 and 0.5 °C, the
// dew risk, and the dew point's curve.
#include "app/gui/EvolutionPage.h"

#include "app/gui/EvolutionSeries.h"

#include <QLegend>
#include <QLegendMarker>

#include <algorithm>

namespace brennic {

void TEvolutionPage::UpdateMarkers(const TReadiness& r)
{
    bool moved = false;
    for (std::size_t i = 0; i < 2; ++i) {
        // Tolerances 1 and 0.5 degC, where the run's list has them.
        std::optional<double> at;
        const auto& tols = r.Tolerances();
        const double wanted = i == 0 ? 1.0 : 0.5;
        for (std::size_t k = 0; k < tols.size(); ++k)
            if (tols[k] == wanted && r.Reports() > 0)
                if (const auto t = r.ReadyFrom(TReadiness::Surface, k))
                    at = *t / 60;
        SetMarker(i, at, moved);
    }
    if (moved)
        PlaceOverlays();
}

void TEvolutionPage::SetMarker(std::size_t i, std::optional<double> at, bool& moved)
{
    if (at == markerMinutes_[i])
        return;
    moved = true;
    markerMinutes_[i] = at;
    PlaceMarker(i);
}

void TEvolutionPage::PlaceMarker(std::size_t i)
{
    // From the bottom of the temperature axis to its top: no point outside
    // it, so that pictures (SVG above all) draw the line as on the screen.
    const QValueAxis* y = ChartAxis(Chart, Qt::Vertical);
    if (markerMinutes_[i])
        markers_[i]->replace(QList<QPointF>{{*markerMinutes_[i], y->min()}, {*markerMinutes_[i], y->max()}});
    else
        markers_[i]->clear();
}

void TEvolutionPage::ShowDewPoint(const TRunRecord& record)
{
    const bool show = record.Air && record.Air->Dew;
    DewPoint->setVisible(show);
    for (QLegendMarker* m : Chart->chart()->legend()->markers(DewPoint)) m->setVisible(show);
    if (!show) {
        dew_.Clear();
        dew_.Sync();
        return;
    }
    // The dew point over the period, at the file's samples and the period's ends.
    std::vector<TPoint> points;
    const TSeries& dew = *record.Air->Dew;
    const double end = std::max(record.Duration, 0.0);
    const double step = std::max(end / 2000, record.TimeStep);
    for (double t = 0; t < end; t += step) points.push_back({t / 60, Shown(dew.At(t))});
    points.push_back({end / 60, Shown(dew.At(end))});
    dew_.Assign(std::move(points));
}

}  // namespace brennic
