#include "app/gui/ProfilePage.h"

#include <algorithm>

namespace brennic {

namespace {
// The page's design height; the labels keep their distance from its bottom.
constexpr int DesignPageWidth = 831;
constexpr int DesignPageHeight = 434;
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

    FrontLabel = new QLabel(QStringLiteral("Mirror Front (Optical Surface)"), Chart);
    FrontLabel->setObjectName(QStringLiteral("StaticText1"));
    BackLabel = new QLabel(QStringLiteral("Mirror Back"), Chart);
    BackLabel->setObjectName(QStringLiteral("StaticText2"));
    for (QLabel* t : {FrontLabel, BackLabel}) {
        t->setFixedHeight(17);
        t->adjustSize();
        t->setAttribute(Qt::WA_TranslucentBackground);
    }
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
    const int pw = std::max(width(), 1), ph = std::max(height(), 1);
    Chart->setGeometry(0, 0, pw, ph);
    FrontLabel->move(16, ph - (DesignPageHeight - 403));
    BackLabel->move(pw - (DesignPageWidth - 770), ph - (DesignPageHeight - 403));
}

void TProfilePage::SetDecimalSeparator(char16_t sep)
{
    Chart->chart()->setLocalizeNumbers(true);
    Chart->chart()->setLocale(LocaleWithDecimal(sep));
}

void TProfilePage::StartRun(const TRunPlan& plan)
{
    TAxisRanges home = Chart->Home();
    home.yMin = plan.TempMin;
    home.yMax = plan.TempMax;
    Chart->SetHome(home, true);
}

void TProfilePage::Sync(const TRunRecord& record)
{
    if (synced_ == record.Version)
        return;
    synced_ = record.Version;
    const QString title = QString::fromStdU16String(record.ProfileTitle);
    if (!title.isEmpty() && Chart->chart()->title() != title)
        Chart->chart()->setTitle(title);
    if (record.Profile.empty())
        return;
    curve_.Assign(std::vector<TPoint>(record.Profile));
    // The position axis follows the profile, front to back element, unless
    // the user has zoomed in.
    const double first = record.Profile.front().x, last = record.Profile.back().x;
    TAxisRanges home = Chart->Home();
    home.xMin = first < last ? first : first - 1;
    home.xMax = first < last ? last : last + 1;
    if (!(home == Chart->Home()))
        Chart->SetHome(home, false);
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
