#include "app/gui/LivePage.h"
#include "app/gui/LiveFieldNames.h"
#include "app/gui/FileFolders.h"

#include "app/core/live/LiveReport.h"
#include "app/core/live/LiveSession.h"
#include "app/core/live/NetworkSources.h"
#include "app/gui/ErrorReport.h"
#include "app/gui/RunWorker.h"
#include "support/LibStandard.h"
#include "support/LocalClock.h"
#include "support/NumberText.h"
#include "support/SerialLines.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScatterSeries>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace brennic {

namespace {

// The view looks at the record this often; it copies only what changed.
constexpr int FrameMs = 50;
constexpr double DefaultBaud = 9600, DefaultReplaySpeed = 60, DefaultPollSeconds = 30;

// What each kind of source asks for in the page's fields.
struct TKindText {
    const char* Name;
    const char* Source;
    const char* ColumnsLabel;
    const char* Columns;
    const char* RateLabel;  // nullptr: no rate
    const char* Rate;
    bool Browse;
};
constexpr TKindText KindTexts[] = {
    {"Follow a file a logger writes", "the log file", "Columns:",
     "e.g. surface=mirror,air=outside (default: T_Surface, T_Back, T_Ambient)", nullptr, "", true},
    {"Read a serial port", "/dev/ttyUSB0", "Columns:", "e.g. surface=1,air=2, or the lines' labels", "Speed:",
     "9600 baud", false},
    {"Replay a recorded log", "the log file", "Columns:",
     "e.g. surface=mirror,air=outside (default: T_Surface, T_Back, T_Ambient)", "Speed:",
     "60 times its own pace; 0: at once", true},
    {"An INDI server", "localhost:7624", "Properties:",
     "air and dew from the weather device; e.g. surface=Focuser.FOCUS_TEMPERATURE.TEMPERATURE", nullptr, "", false},
    {"An MQTT broker", "mqtt://localhost:1883", "Topics:",
     "e.g. air=home/outdoor/temperature; surface=scope/mirror:$.temp", nullptr, "", false},
    {"An ASCOM Alpaca device", "http://localhost:11111/0", "Columns:", "", "Poll every:", "30 s", false},
};

// "a=1; b=2" as its items.
std::vector<std::string> Items(const std::string& text)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        std::string item = text.substr(start, end - start);
        item.erase(0, item.find_first_not_of(' '));
        item.erase(item.find_last_not_of(' ') + 1);
        if (!item.empty())
            items.push_back(item);
        start = end + 1;
    }
    return items;
}

double Ms(double utc)
{
    return utc * 1000;
}

QScatterSeries* Measured(const char* name, QColor colour)
{
    auto* s = new QScatterSeries;
    s->setName(QString::fromLatin1(name));
    s->setMarkerSize(5);
    s->setColor(colour);
    s->setBorderColor(colour);
    return s;
}

QLineSeries* Predicted(const char* name, QColor colour, Qt::PenStyle style = Qt::SolidLine)
{
    auto* s = new QLineSeries;
    s->setName(QString::fromLatin1(name));
    QPen pen(colour, 2, style);
    s->setPen(pen);
    return s;
}

// A number typed in the page's field, or its default when empty.
double FieldNumber(const QLineEdit* edit, double fallback, const char* what, char16_t dec)
{
    const QString text = edit->text().trimmed();
    double v = fallback;
    if (!text.isEmpty() && !(TryStrToFloat(text.toStdU16String(), dec, v) && std::isfinite(v) && v >= 0))
        throw EBrennicError(std::string("\"") + what + "\" is '" + text.toStdString() + "': give a number of 0 or more");
    return v;
}

}  // namespace

TLivePage::TLivePage(std::function<TRequestSource()> base, std::function<std::shared_ptr<const TAirSource>()> ahead,
                     char16_t decimalSeparator, QWidget* parent)
    : QWidget(parent), base_(std::move(base)), ahead_(std::move(ahead)), decimal_(decimalSeparator)
{
    setObjectName(QStringLiteral("TabLive"));
    worker_ = new TRunWorker(this);
    Kind = new QComboBox(this);
    Kind->setObjectName(QStringLiteral("LiveKind"));
    for (const TKindText& k : KindTexts) Kind->addItem(QString::fromUtf8(k.Name));
    Source = new QLineEdit(this);
    Source->setObjectName(QStringLiteral("LiveSource"));
    Browse = new QPushButton(QStringLiteral("Browse\u2026"), this);
    Columns = new QLineEdit(this);
    Columns->setObjectName(QStringLiteral("LiveColumns"));
    Rate = new QLineEdit(this);
    Rate->setObjectName(QStringLiteral("LiveRate"));
    LogPath = new QLineEdit(this);
    LogPath->setObjectName(QStringLiteral("LiveLog"));
    LogPath->setPlaceholderText(QStringLiteral("in your data folder, named after the night's start"));
    Start = new QPushButton(QStringLiteral("Start the night"), this);
    Start->setObjectName(QStringLiteral("LiveStart"));
    Stop = new QPushButton(QStringLiteral("Stop"), this);
    Stop->setObjectName(QStringLiteral("LiveStop"));
    Stop->setEnabled(false);
    Headline = new QLabel(QStringLiteral("Choose where your mirror's readings come from and start the night."), this);
    Headline->setObjectName(QStringLiteral("LiveHeadline"));
    Headline->setWordWrap(true);
    QFont big = Headline->font();
    big.setBold(true);
    big.setPixelSize(14);
    Headline->setFont(big);

    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Tonight: measured and predicted"));
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setLocalizeNumbers(true);  // the axis in the user's decimal form
    chart->legend()->setAlignment(Qt::AlignRight);
    QFont small = chart->legend()->font();
    small.setPixelSize(11);
    chart->legend()->setFont(small);
    measuredSurface_ = Measured("Surface (measured)", QColor(0, 0, 200));
    measuredBack_ = Measured("Back (measured)", QColor(0, 150, 0));
    measuredAir_ = Measured("Air (measured)", QColor(0, 90, 0));
    surface_ = Predicted("Surface (predicted)", QColor(0, 0, 255));
    back_ = Predicted("Back (predicted)", QColor(0, 200, 0));
    air_ = Predicted("Air (ahead)", QColor(0, 128, 0), Qt::DashLine);
    low_ = new QLineSeries(this);
    high_ = new QLineSeries(this);
    band_ = new QAreaSeries(high_, low_);
    band_->setName(QStringLiteral("Surface, 90 % band"));
    band_->setColor(QColor(0, 0, 255, 50));
    band_->setBorderColor(QColor(0, 0, 255, 0));
    time_ = new QDateTimeAxis;
    time_->setFormat(QStringLiteral("HH:mm"));
    time_->setTitleText(QStringLiteral("Time"));
    temperature_ = new QValueAxis;
    temperature_->setTitleText(QStringLiteral("Temperature (\u00b0C)"));
    chart->addAxis(time_, Qt::AlignBottom);
    chart->addAxis(temperature_, Qt::AlignLeft);
    for (QAbstractSeries* s : std::initializer_list<QAbstractSeries*>{band_, air_, back_, surface_, measuredAir_,
                                                                      measuredBack_, measuredSurface_}) {
        chart->addSeries(s);
        s->attachAxis(time_);
        s->attachAxis(temperature_);
    }
    Chart = new QChartView(chart, this);
    Chart->setObjectName(QStringLiteral("LiveChart"));
    Chart->setRenderHint(QPainter::Antialiasing);
    Chart->setMinimumSize(320, 200);  // the window may be small on a scaled screen
    Notes = new QPlainTextEdit(this);
    Notes->setObjectName(QStringLiteral("LiveNotes"));
    Notes->setReadOnly(true);
    Notes->setMaximumHeight(Notes->fontMetrics().lineSpacing() * 3 + 10);

    // Compact rows above, the chart takes the rest of the page.
    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(new QLabel(QStringLiteral("Readings from:"), this));
    sourceRow->addWidget(Kind);
    sourceRow->addWidget(Source, 1);
    sourceRow->addWidget(Browse);
    auto* optionRow = new QHBoxLayout;
    ColumnsLabel = new QLabel(this);
    RateLabel = new QLabel(this);
    optionRow->addWidget(ColumnsLabel);
    optionRow->addWidget(Columns, 2);
    optionRow->addWidget(RateLabel);
    optionRow->addWidget(Rate, 1);
    optionRow->addWidget(new QLabel(QStringLiteral("Keep the readings in:"), this));
    optionRow->addWidget(LogPath, 2);
    auto* headRow = new QHBoxLayout;
    headRow->addWidget(Start);
    headRow->addWidget(Stop);
    headRow->addWidget(Headline, 1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    column->addLayout(sourceRow);
    column->addLayout(optionRow);
    column->addLayout(headRow);
    column->addWidget(Chart, 1);
    column->addWidget(Notes);

    frame_ = new QTimer(this);
    frame_->setInterval(FrameMs);
    connect(frame_, &QTimer::timeout, this, [this] { Sync(); });
    connect(Kind, &QComboBox::currentIndexChanged, this, [this] { ShowKind(); });
    connect(Start, &QPushButton::clicked, this, [this] { Guarded([this] { StartNight(); }); });
    connect(Stop, &QPushButton::clicked, this, [this] { StopNight(); });
    connect(Browse, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("The mirror's readings"), DialogStart(Source->text()),
                                                          QString(), nullptr, QFileDialog::DontUseNativeDialog);
        if (!path.isEmpty()) {
            RememberFolder(path);
            Source->setText(path);
        }
    });
    ShowKind();
}

TLivePage::~TLivePage()
{
    worker_->Stop();
}

void TLivePage::ShowKind()
{
    const TKindText& k = KindTexts[std::max(0, Kind->currentIndex())];
    Source->setPlaceholderText(QString::fromUtf8(k.Source));
    Browse->setEnabled(k.Browse);
    ColumnsLabel->setText(QString::fromUtf8(k.ColumnsLabel));
    Columns->setPlaceholderText(QString::fromUtf8(k.Columns));
    Columns->setEnabled(*k.Columns != '\0');
    RateLabel->setText(QString::fromUtf8(k.RateLabel ? k.RateLabel : "Speed:"));
    Rate->setEnabled(k.RateLabel != nullptr);
    Rate->setPlaceholderText(QString::fromUtf8(k.Rate));
}

bool TLivePage::Running() const
{
    return worker_->Busy();
}

void TLivePage::StartNight()
{
    if (Running())
        return;
    try {
        BeginNight();
    } catch (const EBrennicError& e) {
        throw EBrennicError(InLivePageTerms(e.what(), ColumnsCaption()));
    }
}

std::string TLivePage::ColumnsCaption() const
{
    std::string caption = ColumnsLabel->text().toStdString();
    if (!caption.empty() && caption.back() == ':')
        caption.pop_back();
    return caption;
}

void TLivePage::BeginNight()
{
    const std::string source = Source->text().trimmed().toStdString();
    if (source.empty())
        throw EBrennicError("\"Readings from\" is empty: give the file, the serial port or the server");
    const std::string columns = Columns->text().trimmed().toStdString();
    TLiveSettings settings;
    settings.Base = base_();
    settings.Base.Air = nullptr;
    settings.Base.MirrorTempGiven = false;
    BuildRunRequest(settings.Base);  // the inputs refused now, not at the first update
    if (auto ahead = ahead_(); ahead && ahead->Table.ClockTimes)
        settings.Ahead = ahead;
    for (double t : settings.Base.Tolerances) settings.ToleranceTexts.push_back(ToUtf8(FormatFloat(t, u'.')));
    std::vector<std::unique_ptr<TLiveSource>> sources;
    switch (Kind->currentIndex()) {
    case FollowFile: sources.push_back(FollowSource(source, ParseLogColumns(columns), {})); break;
    case SerialPort: {
        const double baud = FieldNumber(Rate, DefaultBaud, "Speed", decimal_);
        if (!SerialSpeedKnown(long(baud)))
            throw EBrennicError("\"Speed\" is " + Rate->text().toStdString() + ": it is not a serial speed (1200 to 921600 baud)");
        sources.push_back(SerialSource(source, long(baud), ParseLineRoles(columns)));
        break;
    }
    case ReplayLog:
        sources.push_back(ReplaySource(source, ParseLogColumns(columns), {},
                                       FieldNumber(Rate, DefaultReplaySpeed, "Speed", decimal_)));
        break;
    case IndiServer: sources.push_back(IndiSourceFrom(source, "", Items(columns))); break;
    case MqttBroker: sources.push_back(MqttSourceFrom(source, Items(columns))); break;
    default: {
        const double every = FieldNumber(Rate, DefaultPollSeconds, "Poll every", decimal_);
        if (every < 1)
            throw EBrennicError("\"Poll every\" is " + Rate->text().toStdString() + ": give 1 s or more");
        sources.push_back(AlpacaSource(source, every));
    }
    }
    const std::string logPath =
        LogPath->text().trimmed().isEmpty() ? DefaultNightLogPath(UtcNow()) : LogPath->text().trimmed().toStdString();
    auto log = std::make_unique<TNightLog>(logPath);
    record_.Clear();
    notesShown_ = 0;
    Notes->clear();
    record_.Said("The night's readings go to " + logPath);
    TLiveEvents events;
    events.Received = [this](const TLiveRow& row) { record_.Received(row); };
    events.Updated = [this](const TLiveUpdate& u) { record_.Updated(u); };
    events.Said = [this](const std::string& note) { record_.Said(note); };
    events.Lost = [this](const std::string& lost) { record_.SetLost(lost); };
    auto session = std::make_shared<TLiveSession>(std::move(sources), std::move(settings), 1, std::move(log), events);
    Headline->setText(QStringLiteral("Waiting for the first readings\u2026"));
    worker_->Start([session](std::stop_token stop) { session->Run(stop); },
                   [this](const QString& error) {
                       frame_->stop();
                       Sync();
                       Start->setEnabled(true);
                       Stop->setEnabled(false);
                       emit nightEnded();
                       if (!error.isEmpty())
                           ReportError(QString::fromStdString(InLivePageTerms(error.toStdString(), ColumnsCaption())));
                   });
    Start->setEnabled(false);
    Stop->setEnabled(true);
    frame_->start();
}

void TLivePage::StopNight()
{
    worker_->Cancel();
}

void TLivePage::Sync()
{
    const std::optional<TLiveSnapshot> s = record_.SnapshotAfter(seen_);
    if (!s)
        return;
    seen_ = s->Version;
    for (; notesShown_ < s->Notes.size(); ++notesShown_)
        Notes->appendPlainText(QString::fromStdString(s->Notes[notesShown_]));
    if (s->Notes.size() < notesShown_)
        notesShown_ = s->Notes.size();
    ShowHeadline(*s);
    ShowCurves(*s);
}

void TLivePage::ShowHeadline(const TLiveSnapshot& s)
{
    QString text;
    if (!s.Lost.empty())
        text = QStringLiteral("Waiting for the source: ") + QString::fromStdString(s.Lost);
    else if (s.Last)
        text = QString::fromStdString(LiveHeadline(*s.Last, decimal_, units_.Temperature));
    else if (!s.Rows.empty())
        text = QStringLiteral("Readings arrive: the first prediction comes when the mirror and the air have reported");
    else
        return;
    Headline->setStyleSheet(s.Lost.empty() ? QString() : QStringLiteral("color: #b00000;"));
    Headline->setText(text);
}

void TLivePage::SetUnits(const TDisplayUnits& units)
{
    units_ = units;
    temperature_->setTitleText(QString::fromStdString("Temperature (" + TemperatureSymbol(units.Temperature) + ")"));
    if (seen_ != 0) {
        --seen_;  // the night shown so far, drawn again in the new unit
        Sync();
    }
}

void TLivePage::ShowCurves(const TLiveSnapshot& s)
{
    double lo = INFINITY, hi = -INFINITY, first = INFINITY, last = -INFINITY;
    // Each value in the unit shown (in place: the points take it from here).
    auto keep = [&](double t, double& v) {
        if (!std::isfinite(v))
            return false;
        v = TemperatureShown(v, units_.Temperature);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        first = std::min(first, t);
        last = std::max(last, t);
        return true;
    };
    QList<QPointF> points[3];
    for (const TLiveRow& row : s.Rows)
        for (auto [k, role] : {std::pair{0, lrSurface}, {1, lrBack}, {2, lrAir}})
            if (double v = row.Values[role]; keep(row.Time, v))
                points[k].append(QPointF(Ms(row.Time), v));
    measuredSurface_->replace(points[0]);
    measuredBack_->replace(points[1]);
    measuredAir_->replace(points[2]);
    QList<QPointF> surface, back, air, low, high;
    if (s.Last) {
        const TLiveUpdate& u = *s.Last;
        const bool band = u.FromFit;
        for (std::size_t k = 0; k < u.Times.size(); ++k) {
            const double t = Ms(u.Times[k]);
            if (double v = u.SurfaceCurve[k]; keep(u.Times[k], v))
                surface.append(QPointF(t, v));
            if (double v = u.BackCurve[k]; keep(u.Times[k], v))
                back.append(QPointF(t, v));
            if (double v = u.AirCurve[k]; keep(u.Times[k], v))
                air.append(QPointF(t, v));
            double below = u.SurfaceLow[k], above = u.SurfaceHigh[k];
            if (band && u.Times[k] >= u.DataTime && keep(u.Times[k], below) && keep(u.Times[k], above)) {
                low.append(QPointF(t, below));
                high.append(QPointF(t, above));
            }
        }
    }
    surface_->replace(surface);
    back_->replace(back);
    air_->replace(air);
    low_->replace(low);
    high_->replace(high);
    if (!std::isfinite(lo))
        return;
    // Whole hours at the ticks where they fit.
    constexpr double Hour = 3600;
    constexpr int MostTicks = 13;
    const double from = std::floor(first / Hour) * Hour, to = std::max(std::ceil(last / Hour) * Hour, from + Hour);
    const int hours = int(std::lround((to - from) / Hour));
    time_->setTickCount(hours < MostTicks ? hours + 1 : 7);
    time_->setRange(QDateTime::fromMSecsSinceEpoch(qint64(Ms(from))), QDateTime::fromMSecsSinceEpoch(qint64(Ms(to))));
    temperature_->setRange(std::floor(lo - 0.5), std::ceil(hi + 0.5));
    temperature_->applyNiceNumbers();
}

}  // namespace brennic
