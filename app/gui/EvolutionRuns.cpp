// The evolution page's kept runs (their curves, the runs list) and a
// measured log's points over the curves.
#include "app/gui/CurveStyle.h"
#include "app/gui/ZoomChartView.h"
#include "app/gui/EvolutionPage.h"

#include "app/gui/EvolutionSeries.h"

#include <QLegend>
#include <QLegendMarker>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace brennic {

QWidget* TEvolutionPage::CreatePanel()
{
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("SidePanel"));
    Runs = new QListWidget(panel);
    Runs->setObjectName(QStringLiteral("Runs"));
    Runs->setAccessibleName(QStringLiteral("Runs shown on the chart"));
    Runs->setToolTip(QStringLiteral("The current run and the kept ones: tick to show, double-click to rename"));
    Runs->setMaximumHeight(Runs->fontMetrics().height() * 6 + 8);
    RemoveRun = new QPushButton(QStringLiteral("Remove kept run"), panel);
    RemoveRun->setObjectName(QStringLiteral("RemoveRun"));
    RemoveRun->setEnabled(false);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(4, 2, 2, 2);
    column->setSpacing(4);
    column->addWidget(Runs);
    column->addWidget(RemoveRun);
    column->addWidget(Readout, 1);
    connect(Runs, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int row = Runs->row(item);
        if (row < 1)
            return;
        emit keptShown(row - 1, item->checkState() == Qt::Checked);
        emit keptRenamed(row - 1, item->text());
    });
    connect(Runs, &QListWidget::currentRowChanged, this, [this](int row) { RemoveRun->setEnabled(row >= 1); });
    connect(RemoveRun, &QPushButton::clicked, this, [this] {
        if (Runs->currentRow() >= 1)
            emit keptRemoved(Runs->currentRow() - 1);
    });
    return panel;
}

void TEvolutionPage::FillRuns(const TKeptRuns& kept, const std::vector<std::string>& labels)
{
    const QSignalBlocker block(Runs);
    Runs->clear();
    auto* current = new QListWidgetItem(Swatch(CurveStyle(oSurface).Colour), QStringLiteral("Current run"), Runs);
    current->setFlags(Qt::ItemIsEnabled);
    for (std::size_t k = 0; k < kept.Runs().size(); ++k) {
        auto* item = new QListWidgetItem(Swatch(KeptColours[k]), QString::fromStdString(labels[k]), Runs);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsUserCheckable);
        item->setCheckState(kept.Runs()[k].Visible ? Qt::Checked : Qt::Unchecked);
    }
    RemoveRun->setEnabled(false);
}

void TEvolutionPage::ShowKept(const TKeptRuns& kept, const TRunRecord& current, char16_t sep)
{
    QChart* c = Chart->chart();
    for (TCurve& curve : keptCurves_) {
        c->removeSeries(curve.Series());
        delete curve.Series();
    }
    keptCurves_.clear();
    keptLabels_.clear();
    kept_ = &kept;
    for (std::size_t k = 0; k < kept.Runs().size(); ++k) {
        const TKeptRun& run = kept.Runs()[k];
        keptLabels_.push_back(kept.Label(k, current.Inputs, sep, units_));
        // Each curve of the output table in the run's colour; the surface's
        // carries the run's name in the legend.
        for (int column : curveColumns_) {
            const bool named = column == oSurface;
            auto* series =
                AddSeries(c, QStringLiteral("KeptSeries"), named ? QString::fromStdString(keptLabels_.back()) : QString());
            series->attachAxis(ChartAxis(Chart, Qt::Horizontal));
            series->attachAxis(ChartAxis(Chart, Qt::Vertical));
            series->setVisible(run.Visible);
            if (!named || !run.Visible)
                HideFromLegend(c, series);
            TCurve curve(series, QPen(KeptColours[k % KeptColours.size()], 1.5, CurveStyle(column).KeptPen));
            std::vector<TPoint> points;
            points.reserve(run.Reports.size());
            for (const TStepValues& v : run.Reports) points.push_back({v.Time / 60, Shown(ColumnValue(v, column))});
            curve.Assign(std::move(points));
            keptCurves_.push_back(std::move(curve));
        }
    }
    FillRuns(kept, keptLabels_);
    FitHome(false);
    // The markers stay after the kept curves in the legend's order of drawing.
    UpdateViews();
    // The legend holds new entries: sized and placed again at once.
    PlaceOverlays();
    ShowReadout();
}

TAxisRanges TEvolutionPage::FittedHome() const
{
    if (!record_)
        return Chart->Home();
    TAxisRanges r{0, record_->Duration / 60, Shown(record_->Plan.TempMin), Shown(record_->Plan.TempMax)};
    // Every curve shown stays inside the axes: this run's so far, the kept
    // runs shown, the measured points.
    double low = runLow_, high = runHigh_;
    auto take = [&](double lo, double hi) {
        if (lo > hi)
            return;
        const bool first = low > high;
        low = first ? lo : std::min(low, lo);
        high = first ? hi : std::max(high, hi);
    };
    take(measuredLow_, measuredHigh_);
    if (kept_)
        for (const TKeptRun& run : kept_->Runs())
            if (run.Visible)
                for (const TStepValues& v : run.Reports) {
                    for (int column : curveColumns_) take(Shown(ColumnValue(v, column)), Shown(ColumnValue(v, column)));
                    r.xMax = std::max(r.xMax, v.Time / 60);
                }
    if (low <= high) {
        const double margin = std::max(0.02 * (std::max(r.yMax, high) - std::min(r.yMin, low)), 0.1);
        if (low < r.yMin)
            r.yMin = low - margin;
        if (high > r.yMax)
            r.yMax = high + margin;
    }
    return r;
}

void TEvolutionPage::ShowMeasured(const TMeasuredLog* log)
{
    measuredLow_ = std::numeric_limits<double>::infinity();
    measuredHigh_ = -measuredLow_;
    QScatterSeries* series[2] = {MeasuredSurface, MeasuredBack};
    TCurve* curves[2] = {&measuredSurface_, &measuredBack_};
    for (int i = 0; i < 2; ++i) {
        std::vector<TPoint> points;
        if (log)
            for (const TMeasuredPoint& p : i == 0 ? log->Surface : log->Back) points.push_back({p.Time / 60, Shown(p.Value)});
        const bool show = !points.empty();
        for (const TPoint& p : points) {
            measuredLow_ = std::min(measuredLow_, p.y);
            measuredHigh_ = std::max(measuredHigh_, p.y);
        }
        curves[i]->Assign(std::move(points));
        series[i]->setVisible(show);
        for (QLegendMarker* m : Chart->chart()->legend()->markers(series[i])) m->setVisible(show);
    }
    if (!log)
        measuredNote_.clear();
    FitHome(false);
    UpdateViews();
    ShowReadout();
}

void TEvolutionPage::SetMeasuredNote(const std::string& note)
{
    measuredNote_ = note;
    ShowReadout();
}

}  // namespace brennic
