#include "app/gui/EvolutionPage.h"

#include "app/gui/EvolutionSeries.h"

#include "app/core/results/OutputColumns.h"
#include "app/gui/CurveStyle.h"

#include "app/core/run/Headline.h"
#include "app/gui/StripView.h"
#include "app/gui/ClockAxis.h"
#include "app/gui/WindowText.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <QLegend>
#include <QLegendMarker>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace brennic {

// Far from the current run's red, blue and greens, and from each other.
const std::array<QColor, 4> TEvolutionPage::KeptColours{QColor(230, 120, 0), QColor(150, 50, 190), QColor(140, 90, 40),
                                                        QColor(0, 150, 160)};

namespace {

constexpr int DesignPageHeight = 434;
constexpr double LabelGap = 4;  // pixels between two marker labels in a row

}  // namespace

TEvolutionPage::TEvolutionPage(const TStripPalette& palette, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet3"));
    Chart = new TZoomChartView(new QChart, this);
    Chart->setObjectName(QStringLiteral("Chart1"));
    StyleChart(Chart, QStringLiteral("Temperature Evolution"), QMargins(10, 5, 10, 60));
    QChart* c = Chart->chart();
    // The curves of the output table, in their legend order.
    QLineSeries* bySlot[OutputColumnCount] = {};
    for (int column : curveColumns_) {
        const TCurveStyle style = CurveStyle(column);
        bySlot[column] = AddSeries(c, style.ObjectName, QString::fromUtf8(OutputColumns[std::size_t(column)].CurveTitle));
    }
    Core = bySlot[oCore];
    Surface = bySlot[oSurface];
    Back = bySlot[oBack];
    Air = bySlot[oAir];
    AttachAxes(c);
    TitleAxis(ChartAxis(Chart, Qt::Horizontal), QStringLiteral("Time (min)"));
    TitleAxis(ChartAxis(Chart, Qt::Vertical), QStringLiteral("Temperature (\u00b0C)"));
    for (int column : curveColumns_) curves_.emplace_back(bySlot[column], CurveStyle(column).Colour);
    Chart->HoverText = [this](double minutes) { return HoverText(minutes); };

    // The dew point of an air file, dashed cyan, in the legend when shown.
    DewPoint = AddSeries(c, QStringLiteral("DewPoint"), QStringLiteral("Dew Point"));
    DewPoint->attachAxis(ChartAxis(Chart, Qt::Horizontal));
    DewPoint->attachAxis(ChartAxis(Chart, Qt::Vertical));
    dew_ = TCurve(DewPoint, QPen(QColor(0, 150, 170), 1, Qt::DashLine));
    DewPoint->setVisible(false);
    HideFromLegend(c, DewPoint);

    // A measured log's points, in the colours of the curves they compare with.
    MeasuredSurface = new QScatterSeries(c);
    MeasuredBack = new QScatterSeries(c);
    const char* measuredNames[2] = {"MeasuredSurface", "MeasuredBack"};
    const QString measuredTitles[2] = {QStringLiteral("Measured Surface"), QStringLiteral("Measured Back")};
    QScatterSeries* measured[2] = {MeasuredSurface, MeasuredBack};
    for (int i = 0; i < 2; ++i) {
        measured[i]->setObjectName(QString::fromLatin1(measuredNames[i]));
        measured[i]->setName(measuredTitles[i]);
        c->addSeries(measured[i]);
        measured[i]->attachAxis(ChartAxis(Chart, Qt::Horizontal));
        measured[i]->attachAxis(ChartAxis(Chart, Qt::Vertical));
    }
    measuredSurface_ = TCurve(MeasuredSurface, QPen(CurveStyle(oSurface).Colour, 1));
    measuredBack_ = TCurve(MeasuredBack, QPen(QColor(0, 160, 0), 1));
    for (int i = 0; i < 2; ++i) {
        measured[i]->setMarkerSize(5);
        measured[i]->setColor(CurveStyle(i == 0 ? oSurface : oBack).Colour);
        measured[i]->setBorderColor(i == 0 ? QColor(0, 0, 120) : QColor(0, 120, 0));
        measured[i]->setPointsVisible(true);
        measured[i]->setVisible(false);
        HideFromLegend(c, measured[i]);
    }

    // The readiness and dew markers: thin vertical lines, labelled at the top.
    const char* const names[3] = {"ReadyMarker1", "ReadyMarker05", "DewMarker"};
    const QString texts[3] = {QStringLiteral("1 \u00b0C"), QStringLiteral("0.5 \u00b0C"), QStringLiteral("dew")};
    const QColor colours[3] = {QColor(0, 0, 160), QColor(0, 0, 160), QColor(0, 130, 150)};
    for (std::size_t i = 0; i < 3; ++i) {
        markers_[i] = AddSeries(c, names[i], QString());
        markers_[i]->setPen(QPen(colours[i], 1, Qt::DashLine));
        markers_[i]->attachAxis(ChartAxis(Chart, Qt::Horizontal));
        markers_[i]->attachAxis(ChartAxis(Chart, Qt::Vertical));
        HideFromLegend(c, markers_[i]);
        markerLabels_[i] = new QGraphicsSimpleTextItem(c);
        markerLabels_[i]->setBrush(colours[i]);
        markerLabels_[i]->setText(texts[i]);
        markerLabels_[i]->setZValue(20);
        markerLabels_[i]->hide();
    }

    // Surface minus air, on its own axis at the right, shown on request.
    SurfaceMinusAir = AddRightCurve("SurfaceMinusAir", QStringLiteral("Surface \u2212 air"), "DifferenceAxis",
                                    QStringLiteral("Surface \u2212 air (K)"), differenceAxis_);
    difference_ = TCurve(SurfaceMinusAir, QPen(QColor(128, 0, 160), 1));
    // The mirror's own seeing (Racine et al. 1991), on a second right axis.
    MirrorSeeing = AddRightCurve("MirrorSeeing", QStringLiteral("Mirror seeing"), "SeeingAxis",
                                 QStringLiteral("Seeing (\u2033)"), seeingAxis_);
    seeing_ = TCurve(MirrorSeeing, QPen(QColor(200, 110, 0), 1, Qt::DashDotLine));

    QLegend* legend = c->legend();
    legend->detachFromChart();
    legend->setAlignment(Qt::AlignRight);
    legend->setBackgroundVisible(true);
    QLinearGradient fill(0, 0, 0, 1);
    fill.setCoordinateMode(QGradient::ObjectBoundingMode);
    fill.setColorAt(0, Qt::white);
    fill.setColorAt(1, QColor(214, 214, 214));
    legend->setBrush(fill);
    legend->setPen(QPen(QColor(128, 128, 128)));

    Strip = new TImgView32(this);
    Strip->setObjectName(QStringLiteral("ImgView321"));
    Strip->SetPalette(&palette);
    LabelUnits();  // the strip's key, the markers' tolerances, the axes' titles
    Clock = std::make_unique<TClockAxis>(c, ChartAxis(Chart, Qt::Horizontal), QStringLiteral("Time (min)"));
    Headline = new QLabel(this);
    Headline->setObjectName(QStringLiteral("Headline"));
    Headline->setWordWrap(true);
    Headline->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = Headline->font();
    bold.setBold(true);
    if (bold.pointSizeF() > 0)
        bold.setPointSizeF(bold.pointSizeF() * 1.1);
    else if (bold.pixelSize() > 0)
        bold.setPixelSize(bold.pixelSize() * 11 / 10);
    Headline->setFont(bold);
    Headline->setContentsMargins(6, 2, 6, 2);
    ReadoutScroll = new QScrollArea(this);
    ReadoutScroll->setObjectName(QStringLiteral("ReadoutScroll"));
    ReadoutScroll->setWidgetResizable(true);
    ReadoutScroll->setFrameShape(QFrame::NoFrame);
    ReadoutScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Readout = new TReadoutPanel;
    ReadoutScroll->setWidget(CreatePanel());

    // These only re-decimate and place things; none sets an axis.
    QValueAxis* x = ChartAxis(Chart, Qt::Horizontal);
    QValueAxis* y = ChartAxis(Chart, Qt::Vertical);
    connect(x, &QValueAxis::rangeChanged, this, [this] { UpdateViews(); });
    connect(y, &QValueAxis::rangeChanged, this, [this, y] {
        UseRoundTicks(y);
        for (std::size_t i = 0; i < markers_.size(); ++i) PlaceMarker(i);
        PlaceOverlays();
    });
    connect(c, &QChart::plotAreaChanged, this, [this] { UpdateViews(); });
}

TEvolutionPage::~TEvolutionPage() = default;

QLineSeries* TEvolutionPage::AddRightCurve(const char* name, const QString& title, const char* axisName,
                                           const QString& axisTitle, QValueAxis*& axis)
{
    // A curve on an axis of its own at the right, hidden until asked for.
    QChart* c = Chart->chart();
    QLineSeries* series = AddSeries(c, QString::fromLatin1(name), title);
    axis = new QValueAxis(c);
    axis->setObjectName(QString::fromLatin1(axisName));
    TitleAxis(axis, axisTitle);
    c->addAxis(axis, Qt::AlignRight);
    series->attachAxis(ChartAxis(Chart, Qt::Horizontal));
    series->attachAxis(axis);
    series->setVisible(false);
    axis->setVisible(false);
    HideFromLegend(c, series);
    return series;
}

void TEvolutionPage::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    LayOut();
}

void TEvolutionPage::showEvent(QShowEvent* e)
{
    // A run may have ended while the page was hidden: views, strip and
    // readout take the page's real size now.
    QWidget::showEvent(e);
    LayOut();
    UpdateViews();
    ShowReadout();
}

void TEvolutionPage::LayOut()
{
    // The headline across the top, the readout in a panel at the right, the
    // chart (with the strip under its plot) in the rest.
    const int w = std::max(width(), 1);
    const int headline = Headline->text().isEmpty() ? 0 : Headline->heightForWidth(w);
    const int panel = std::clamp(w * 3 / 10, 180, 320);
    const int bottom = std::max(height() - (DesignPageHeight - 433), headline + 1);
    Headline->setGeometry(0, 0, w, headline);
    Chart->setGeometry(0, headline, std::max(w - panel, 1), bottom - headline);
    ReadoutScroll->setGeometry(w - panel, headline, panel, std::max(height() - headline, 1));
    PlaceOverlays();
}

void TEvolutionPage::SetStopped(bool stopped)
{
    stopped_ = stopped;
    ShowReadout();
}

void TEvolutionPage::SetDecimalSeparator(char16_t sep)
{
    decimal_ = sep;
    LabelUnits();
    Chart->chart()->setLocalizeNumbers(true);
    Chart->chart()->setLocale(LocaleWithDecimal(sep));
    ShowReadout();
}

const TCurve& TEvolutionPage::Curve(QXYSeries* series) const
{
    for (const TCurve& c : curves_)
        if (c.Series() == series)
            return c;
    if (difference_.Series() == series)
        return difference_;
    if (seeing_.Series() == series)
        return seeing_;
    for (const TCurve& c : keptCurves_)
        if (c.Series() == series)
            return c;
    for (const TCurve* c : {&measuredSurface_, &measuredBack_, &dew_})
        if (c->Series() == series)
            return *c;
    throw std::invalid_argument("not a series of the evolution page");
}

void TEvolutionPage::FitHome(bool resetZoom)
{
    Chart->SetHome(FittedHome(), resetZoom);
}

void TEvolutionPage::StartRun(TRunRecord& record)
{
    record_ = &record;
    timeStep_ = record.TimeStep;
    stripWidth_ = record.Strip.Width();
    ClearCurves();
    FitHome(true);
    Clock->SetZero(LocalClockZero(record));
    ShowDewPoint(record);
    record.TakeStripChanges();
    Strip->SetSource(&record.Strip);
    UpdateViews();
    ShowReadout();
}

void TEvolutionPage::ClearCurves()
{
    runLow_ = 1;
    runHigh_ = 0;
    for (TCurve& c : curves_) c.Clear();
    difference_.Clear();
    seeing_.Clear();
    seeingMax_ = 0;
    differenceMin_ = differenceMax_ = 0;
    synced_ = 0;
    version_ = ~0ull;
}

void TEvolutionPage::Sync(TRunRecord& record)
{
    if (&record != record_ || version_ == record.Version)
        return;
    version_ = record.Version;
    for (; synced_ < record.Reports.size(); ++synced_) {
        const TStepValues& v = record.Reports[synced_];
        const double minutes = v.Time / 60;
        for (std::size_t i = 0; i < curves_.size(); ++i) {
            const double value = Shown(ColumnValue(v, curveColumns_[i]));
            curves_[i].Append(minutes, value);
            const bool first = runLow_ > runHigh_;
            runLow_ = first ? value : std::min(runLow_, value);
            runHigh_ = first ? value : std::max(runHigh_, value);
        }
        const double d = ShownDifference(v.Surface - v.Air);
        difference_.Append(minutes, d);
        const double blur = brennic::MirrorSeeing(v);
        seeing_.Append(minutes, blur);
        seeingMax_ = std::max(seeingMax_, blur);
        differenceMin_ = std::min(differenceMin_, d);
        differenceMax_ = std::max(differenceMax_, d);
    }
    for (const TStripChange& change : record.TakeStripChanges()) Strip->ColumnChanged(change.Column, change.Old);
    for (TCurve& c : curves_) c.Sync();
    // A curve that leaves the axes widens them.
    const TAxisRanges home = Chart->Home();
    if (runLow_ <= runHigh_ && (runLow_ < home.yMin || runHigh_ > home.yMax))
        FitHome(false);
    UpdateRightAxes();
    if (SurfaceMinusAir->isVisible())
        difference_.Sync();
    if (MirrorSeeing->isVisible())
        seeing_.Sync();
    UpdateMarkers(record.Readiness);
    bool moved = false;
    SetMarker(2, record.DewRiskFrom ? std::optional<double>(*record.DewRiskFrom / 60) : std::nullopt, moved);
    if (moved)
        PlaceOverlays();
    if (!readoutClock_.isValid() || readoutClock_.elapsed() >= 200)
        ShowReadout();
}

void TEvolutionPage::Redraw(TRunRecord& record, bool final)
{
    Sync(record);
    if (final)
        ShowReadout();
    if (Chart->isVisible()) {
        Chart->viewport()->repaint();
        Strip->repaint();
    }
}

void TEvolutionPage::ShowRightCurve(QLineSeries* series, QValueAxis* axis, bool show)
{
    series->setVisible(show);
    axis->setVisible(show);
    for (QLegendMarker* m : Chart->chart()->legend()->markers(series)) m->setVisible(show);
    PlaceLegend();
    if (show) {
        UpdateRightAxes();
        UpdateViews();
    }
}

void TEvolutionPage::ShowSurfaceMinusAir(bool show)
{
    ShowRightCurve(SurfaceMinusAir, differenceAxis_, show);
}

void TEvolutionPage::ShowMirrorSeeing(bool show)
{
    ShowRightCurve(MirrorSeeing, seeingAxis_, show);
}

namespace {

void SetRange(QValueAxis* axis, double lo, double hi)
{
    if (axis->min() != lo || axis->max() != hi)
        axis->setRange(lo, hi);
    UseRoundTicks(axis);
}

}  // namespace

void TEvolutionPage::UpdateRightAxes()
{
    // Surface minus air with a margin of 5 % of its span (at least 1 K);
    // the seeing from 0 to 5 % above its largest value (at least 0.5").
    const double span = std::max(differenceMax_ - differenceMin_, 1.0);
    if (SurfaceMinusAir->isVisible())
        SetRange(differenceAxis_, differenceMin_ - span * 0.05, differenceMax_ + span * 0.05);
    if (MirrorSeeing->isVisible())
        SetRange(seeingAxis_, 0, std::max(seeingMax_, 0.5) * 1.05);
}

void TEvolutionPage::UpdateViews()
{
    QValueAxis* x = ChartAxis(Chart, Qt::Horizontal);
    if (!Clock->Active())
        UseRoundTicks(x);  // the clock's ticks are set where the overlays are placed
    const int plot = int(Chart->chart()->plotArea().width());
    const int pixels = std::max({1, plot, Chart->isVisible() ? 0 : Chart->width()});
    for (TCurve& c : curves_) {
        c.SetView(x->min(), x->max(), pixels);
        c.Sync();
    }
    for (TCurve& c : keptCurves_) {
        c.SetView(x->min(), x->max(), pixels);
        c.Sync();
    }
    dew_.SetView(x->min(), x->max(), pixels);
    dew_.Sync();
    for (TCurve* m : {&measuredSurface_, &measuredBack_}) {
        m->SetView(x->min(), x->max(), pixels);
        m->Sync();
    }
    if (SurfaceMinusAir->isVisible()) {
        difference_.SetView(x->min(), x->max(), pixels);
        difference_.Sync();
    }
    if (MirrorSeeing->isVisible()) {
        seeing_.SetView(x->min(), x->max(), pixels);
        seeing_.Sync();
    }
    // The strip shows the columns of the time span on the axis.
    if (timeStep_ > 0 && stripWidth_ > 0) {
        const double first = std::floor(x->min() * 60 / timeStep_ + 0.5);
        const double last = std::ceil(x->max() * 60 / timeStep_ - 0.5);
        const auto from = std::int32_t(std::clamp(first, 0.0, double(stripWidth_)));
        const auto to = std::int32_t(std::clamp(last + 1, double(from), double(stripWidth_)));
        Strip->SetSpan(from, from == 0 && to == stripWidth_ ? -1 : to - from);
    }
    PlaceOverlays();
}

void TEvolutionPage::PlaceOverlays()
{
    PlaceLegend();
    Clock->Update();
    QChart* chart = Chart->chart();
    const QRectF plot = chart->plotArea();
    // The strip spans exactly the plot's width, below the time axis.
    const QPoint left = Chart->viewport()->mapTo(this, Chart->mapFromScene(plot.bottomLeft()));
    const QPoint right = Chart->viewport()->mapTo(this, Chart->mapFromScene(plot.bottomRight()));
    Strip->setGeometry(left.x(), height() - (DesignPageHeight - 374), std::max(1, right.x() - left.x()), 57);
    // Each label in the first row at the plot's top where it meets neither
    // another label nor the legend.
    std::vector<QRectF> taken{chart->legend()->geometry()};
    for (std::size_t i = 0; i < 3; ++i) {
        if (!markerMinutes_[i]) {
            markerLabels_[i]->hide();
            continue;
        }
        const QPointF p = chart->mapToPosition(QPointF(*markerMinutes_[i], 0), markers_[i]);
        const bool inside = p.x() >= plot.left() && p.x() <= plot.right();
        markerLabels_[i]->setVisible(inside);
        const QRectF box = markerLabels_[i]->boundingRect();
        const double x = std::clamp(p.x() + 3, plot.left() + 1, std::max(plot.left() + 1, plot.right() - box.width() - 1));
        QRectF at(x, plot.top() + 2, box.width(), box.height());
        for (int row = 0; row < 12; ++row) {
            at.moveTop(plot.top() + 2 + row * (box.height() + 1));
            // A few pixels apart, so that "1 °C" and "dew" do not read as one word.
            const QRectF spaced = at.adjusted(-LabelGap, 0, LabelGap, 0);
            if (std::none_of(taken.begin(), taken.end(), [&](const QRectF& r) { return r.intersects(spaced); }))
                break;
        }
        markerLabels_[i]->setPos(at.topLeft());
        if (inside)
            taken.push_back(at);
    }
}

}  // namespace brennic
