#include "app/gui/ForecastDialog.h"

#include "app/core/tables/Forecast.h"
#include "app/gui/AirPreview.h"
#include "app/gui/DialogMessage.h"
#include "app/gui/RunWorker.h"
#include "support/LocalClock.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

namespace brennic {

namespace {

const char* const LatitudeKey = "forecast/latitude";
const char* const LongitudeKey = "forecast/longitude";

// Degrees as typed, with a decimal point or a decimal comma.
std::string Degrees(const QLineEdit* edit)
{
    return edit->text().trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toStdString();
}

}  // namespace

TForecastDialog::TForecastDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ForecastDialog"));
    setWindowTitle(QStringLiteral("Air from tonight's forecast"));
    const QSettings settings;
    Latitude = new QLineEdit(settings.value(QString::fromLatin1(LatitudeKey)).toString(), this);
    Latitude->setObjectName(QStringLiteral("Latitude"));
    Latitude->setPlaceholderText(QStringLiteral("degrees north; south negative"));
    Longitude = new QLineEdit(settings.value(QString::fromLatin1(LongitudeKey)).toString(), this);
    Longitude->setObjectName(QStringLiteral("Longitude"));
    Longitude->setPlaceholderText(QStringLiteral("degrees east; west negative"));
    Fetch = new QPushButton(QStringLiteral("Fetch"), this);
    Fetch->setObjectName(QStringLiteral("Fetch"));
    Cancel = new QPushButton(QStringLiteral("Cancel fetch"), this);
    Cancel->setEnabled(false);
    Progress = new QProgressBar(this);
    Progress->setRange(0, 0);
    Progress->setVisible(false);
    Info = NewMessageLabel(QStringLiteral("The hourly forecast of Open-Meteo (%1) for the next two days.")
                               .arg(QString::fromStdString(ForecastServer(""))),
                           "ForecastInfo", this);
    Preview = new TAirPreview(this);
    WholeForecast = new QCheckBox(QStringLiteral("Set the simulation duration to the rest of the forecast"), this);
    WholeForecast->setObjectName(QStringLiteral("WholeForecast"));
    WholeForecast->setChecked(true);
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(false);

    auto* row = new QHBoxLayout;
    row->addWidget(Fetch);
    row->addWidget(Cancel);
    row->addWidget(Progress, 1);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Latitude (\u00b0):"), Latitude);
    form->addRow(QStringLiteral("Longitude (\u00b0):"), Longitude);
    form->addRow(row);
    form->addRow(Info);
    form->addRow(Preview);
    form->addRow(WholeForecast);
    form->addRow(Buttons);

    worker_ = new TRunWorker(this);
    timer_ = new QTimer(this);
    timer_->setInterval(16);
    connect(timer_, &QTimer::timeout, this, [this] {
        const std::size_t expected = expected_, received = received_;
        if (expected > 0) {
            Progress->setRange(0, 1000);
            Progress->setValue(int(1000.0 * double(received) / double(expected)));
        }
    });
    connect(Fetch, &QPushButton::clicked, this, [this] { StartFetch(); });
    connect(Cancel, &QPushButton::clicked, this, [this] { worker_->Cancel(); });
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, [this] {
        worker_->Cancel();
        reject();
    });
}

TForecastDialog::~TForecastDialog()
{
    // The transfer ends at its next progress call, before the members it writes go.
    worker_->Stop();
}

bool TForecastDialog::FitDuration() const
{
    return WholeForecast->isChecked();
}

bool TForecastDialog::Fetching() const
{
    return worker_->Busy();
}

void TForecastDialog::StartFetch()
{
    TPlace place;
    if (Latitude->text().trimmed().isEmpty() || Longitude->text().trimmed().isEmpty()) {
        ShowRefusal(Info, QStringLiteral("Enter your latitude and longitude in degrees, for example 47.56 and 7.58."));
        (Latitude->text().trimmed().isEmpty() ? Latitude : Longitude)->setFocus(Qt::OtherFocusReason);
        return;
    }
    try {
        place = ParsePlace(Degrees(Latitude) + "," + Degrees(Longitude));
    } catch (const std::exception& e) {
        ShowRefusal(Info, QString::fromUtf8(e.what()));
        return;
    }
    QSettings settings;
    settings.setValue(QString::fromLatin1(LatitudeKey), Latitude->text().trimmed());
    settings.setValue(QString::fromLatin1(LongitudeKey), Longitude->text().trimmed());
    if (worker_->Busy())
        return;
    received_ = expected_ = 0;
    Fetch->setEnabled(false);
    Cancel->setEnabled(true);
    Progress->setRange(0, 0);
    Progress->setVisible(true);
    Preview->Clear();
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    const std::string server = ForecastServer("");
    Info->setText(QStringLiteral("Asking %1\u2026").arg(QString::fromStdString(server)));
    timer_->start();
    const double now = UtcNow();
    const std::string path = ForecastCachePath(place, now);
    worker_->Start(
        [this, place, server, path, now](std::stop_token stop) {
            THttpOptions options;
            options.Progress = [this, stop](std::size_t received, std::size_t expected) {
                received_ = received;
                expected_ = expected;
                return !stop.stop_requested();
            };
            try {
                FetchForecast(server, place, path, options, now);
            } catch (const EHttpError& e) {
                if (e.Kind == EHttpError::Cancelled)
                    throw EHttpError(EHttpError::Cancelled, "Cancelled: nothing was saved.");
                throw;
            }
        },
        [this, path, now](const QString& error) { Finished(error, path, now); });
}

void TForecastDialog::Finished(const QString& error, const std::string& path, double now)
{
    timer_->stop();
    Progress->setVisible(false);
    Fetch->setEnabled(true);
    Cancel->setEnabled(false);
    if (!error.isEmpty()) {
        ShowRefusal(Info, error);
        return;
    }
    try {
        TAirFileChoice c;
        c.Path = path;
        TTimeTable table = ReadTimeTable(path);
        c.Start = ForecastStart(table, now, "");
        source_ = TAirSource::FromTable(std::move(table), c);
        choice_ = c;
    } catch (const std::exception& e) {
        ShowRefusal(Info, QString::fromUtf8(e.what()));
        return;
    }
    Info->setText(QStringLiteral("Saved as %1; the run starts at the next whole hour, %2.")
                      .arg(QString::fromStdString(path), QString::fromStdString(LocalDateTimeText(source_->Table, source_->Start))));
    Preview->Show(*source_);
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(true);
}

}  // namespace brennic
