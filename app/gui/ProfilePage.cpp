#include "app/gui/ProfilePage.h"

#include <QSignalBlocker>

#include "app/core/results/CurveValue.h"
#include "app/core/results/Readiness.h"
#include "app/core/results/ResultText.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <algorithm>
#include <cmath>

namespace brennic {

namespace {
// The page's design height; the labels keep their distance from its bottom.
constexpr int DesignPageWidth = 831;
constexpr int DesignPageHeight = 434;
constexpr int SliderHeight = 24;  // the time slider's row under the chart
}  // namespace

TProfilePage::TProfilePage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet1"));
    Chart = new TZoomChartView(new QChart, this);
    Chart->setObjectName(QStringLiteral("Chart4"));
    StyleChart(Chart, QStringLiteral("Temperature Profile"), QMargins(10, 5, 10, 30));
    QChart* chart = Chart->chart();
    chart->legend()->hide();
    Series = new QLineSeries(chart);
    Series->setObjectName(QStringLiteral("LineSeries3"));
    Series->setName(QStringLiteral("Temperature Profile"));
    chart->addSeries(Series);
    AttachAxes(chart);
    TitleAxis(ChartAxis(Chart, Qt::Horizontal), QStringLiteral("Position from the front (mm)"));
    TitleAxis(ChartAxis(Chart, Qt::Vertical), QStringLiteral("Temperature (\u00b0C)"));
    curve_ = TCurve(Series, QColor(255, 0, 0));
    // Under the pointer: the depth in the glass and the temperature there.
    Chart->HoverText = [this](double mm) {
        const std::optional<double> t = CurveValueAt(curve_.Points(), mm);
        if (!t)
            return QString();
        return QString::fromStdString(FixedText(mm, 2, decimal_) + " " + MillimetreSymbol(units_.Length) +
                                      " from the front\n" + ShownFixedText(*t, 2, decimal_) + " " +
                                      TemperatureSymbol(units_.Temperature));
    };

    FrontLabel = new QLabel(QStringLiteral("Mirror Front (Optical Surface)"), Chart);
    FrontLabel->setObjectName(QStringLiteral("StaticText1"));
    BackLabel = new QLabel(QStringLiteral("Mirror Back"), Chart);
    BackLabel->setObjectName(QStringLiteral("StaticText2"));
    for (QLabel* t : {FrontLabel, BackLabel}) {
        t->setFixedHeight(17);
        t->adjustSize();
        t->setAttribute(Qt::WA_TranslucentBackground);
    }
    Time = new QSlider(Qt::Horizontal, this);
    Time->setObjectName(QStringLiteral("ProfileTime"));
    Time->setToolTip(QStringLiteral("The profile at any report of the run; at the right end, the last one"));
    Time->setRange(0, 0);
    TimeLabel = new QLabel(this);
    TimeLabel->setObjectName(QStringLiteral("ProfileTimeLabel"));
    connect(Time, &QSlider::valueChanged, this, [this](int i) { ShowSnapshot(i); });
    // Only re-decimates: no axis is set here, so nothing comes back.
    auto onView = [this] { UpdateView(); };
    connect(chart, &QChart::plotAreaChanged, this, onView);
    connect(Chart, &TZoomChartView::zoomChanged, this, onView);
    for (QValueAxis* axis : {ChartAxis(Chart, Qt::Horizontal), ChartAxis(Chart, Qt::Vertical)})
        connect(axis, &QValueAxis::rangeChanged, this, [axis] { UseRoundTicks(axis); });
}

void TProfilePage::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    const int pw = std::max(width(), 1), ph = std::max(height() - SliderHeight, 1);
    Chart->setGeometry(0, 0, pw, ph);
    FrontLabel->move(16, ph - (DesignPageHeight - 403));
    BackLabel->move(pw - (DesignPageWidth - 770), ph - (DesignPageHeight - 403));
    constexpr int LabelWidth = 170;
    Time->setGeometry(10, ph, std::max(pw - LabelWidth - 20, 10), SliderHeight - 2);
    TimeLabel->setGeometry(pw - LabelWidth - 4, ph, LabelWidth, SliderHeight - 2);
}

void TProfilePage::SetDecimalSeparator(char16_t sep)
{
    decimal_ = sep;
    Chart->chart()->setLocalizeNumbers(true);
    Chart->chart()->setLocale(LocaleWithDecimal(sep));
}

void TProfilePage::StartRun(const TRunPlan& plan)
{
    {
        const QSignalBlocker block(Time);
        Time->setRange(0, 0);
        Time->setValue(0);
    }
    TAxisRanges home = Chart->Home();
    home.yMin = Shown(plan.TempMin);
    home.yMax = Shown(plan.TempMax);
    Chart->SetHome(home, true);
}

void TProfilePage::SetUnits(const TDisplayUnits& units)
{
    units_ = units;
    LabelUnits();
    if (!record_)
        return;
    // The depth axis takes the new unit whatever the zoom was.
    Chart->SetHome(Chart->Home(), true);
    if (Time->value() >= int(record_->Snapshots.size()))
        ShowLast(*record_);
    else
        ShowSnapshot(Time->value());
}

void TProfilePage::LabelUnits()
{
    TitleAxis(ChartAxis(Chart, Qt::Horizontal),
              QString::fromStdString("Position from the front (" + MillimetreSymbol(units_.Length) + ")"));
    TitleAxis(ChartAxis(Chart, Qt::Vertical),
              QString::fromStdString("Temperature (" + TemperatureSymbol(units_.Temperature) + ")"));
}

std::vector<TPoint> TProfilePage::Shown(const std::vector<TPoint>& profile) const
{
    std::vector<TPoint> shown;
    shown.reserve(profile.size());
    for (const TPoint& p : profile) shown.push_back({MillimetresShown(p.x, units_.Length), Shown(p.y)});
    return shown;
}

void TProfilePage::Sync(const TRunRecord& record)
{
    if (synced_ == record.Version)
        return;
    synced_ = record.Version;
    record_ = &record;
    // The slider's end is the last report; it stays there while the run goes on.
    const bool atEnd = Time->value() == Time->maximum();
    {
        const QSignalBlocker block(Time);
        Time->setRange(0, int(record.Snapshots.size()));
        if (atEnd)
            Time->setValue(Time->maximum());
    }
    if (!atEnd)
        return;
    ShowLast(record);
}

void TProfilePage::ShowLast(const TRunRecord& record)
{
    TimeLabel->setText(record.Reports.empty() ? QString()
                                              : QString::fromStdString(MinutesText(record.Reports.back().Time, decimal_)));
    const QString title = QString::fromStdU16String(record.ProfileTitle);
    if (!title.isEmpty() && Chart->chart()->title() != title)
        Chart->chart()->setTitle(title);
    if (record.Profile.empty())
        return;
    const std::vector<TPoint> profile = Shown(record.Profile);
    curve_.Assign(std::vector<TPoint>(profile));
    // The position axis follows the profile, front to back element, unless
    // the user has zoomed in.
    const double first = profile.front().x, last = profile.back().x;
    TAxisRanges home = Chart->Home();
    home.xMin = first < last ? first : first - 1;
    home.xMax = first < last ? last : last + 1;
    // The run's range, as at its start, widened where the profile leaves it
    // (a radiating face falls below the air): the profile is always in view.
    home.yMin = Shown(record.Plan.TempMin);
    home.yMax = Shown(record.Plan.TempMax);
    for (const TPoint& p : profile) {
        home.yMin = std::min(home.yMin, std::floor(p.y));
        home.yMax = std::max(home.yMax, std::ceil(p.y));
    }
    if (!(home == Chart->Home()))
        Chart->SetHome(home, !(home.yMin == Chart->Home().yMin && home.yMax == Chart->Home().yMax));
    UpdateView();
}

void TProfilePage::ShowSnapshot(int i)
{
    if (!record_)
        return;
    if (i >= int(record_->Snapshots.size())) {
        ShowLast(*record_);
        return;
    }
    const TProfileSnapshot& s = record_->Snapshots[std::size_t(i)];
    std::u16string title = u"Temperature Profile - Time ";
    AppendFloat(title, s.Time, decimal_);
    title += u" sec";
    Chart->chart()->setTitle(QString::fromStdU16String(title));
    TimeLabel->setText(QString::fromStdString(MinutesText(s.Time, decimal_)));
    const std::vector<TPoint> points = Shown(record_->SnapshotProfile(std::size_t(i)));
    if (points.empty())
        return;
    // The temperature axis fits the profile shown.
    double lo = points.front().y, hi = lo;
    for (const TPoint& p : points) {
        lo = std::min(lo, p.y);
        hi = std::max(hi, p.y);
    }
    const double margin = std::max((hi - lo) * 0.05, 0.05);
    TAxisRanges home = Chart->Home();
    home.yMin = lo - margin;
    home.yMax = hi + margin;
    Chart->SetHome(home, true);
    curve_.Assign(std::vector<TPoint>(points));
    UpdateView();
}

void TProfilePage::Redraw(const TRunRecord& record)
{
    Sync(record);
    if (Chart->isVisible())
        Chart->viewport()->repaint();
}

void TProfilePage::UpdateView()
{
    const TAxisRanges shown = Chart->Shown();
    curve_.SetView(shown.xMin, shown.xMax, std::max(1, int(Chart->chart()->plotArea().width())));
    curve_.Sync();
}

}  // namespace brennic
