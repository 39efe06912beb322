#include "app/gui/FitDialog.h"

#include "app/core/results/ResultText.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <QCheckBox>
#include "app/gui/ErrorReport.h"

#include <QChart>
#include <QChartView>
#include <QScatterSeries>
#include <QTimer>
#include <QValueAxis>

#include <algorithm>
#include <tuple>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace brennic {

namespace {

QString Number(double v, char16_t sep)
{
    if (!std::isfinite(v))
        return QStringLiteral("unknown");
    return QString::fromStdString(SignificantText(v, 4, sep));
}

const char* const Captions[] = {"Front film coefficient", "Back film coefficient", "Initial mirror temperature",
                                "Front radiation", "Film coefficient (both faces)"};

}  // namespace

TFitDialog::TFitDialog(TPrepareFit prepare, char16_t decimalSeparator, QWidget* parent)
    : QDialog(parent), prepare_(std::move(prepare)), decimal_(decimalSeparator)
{
    worker_ = new TRunWorker(this);
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(50);
    connect(progressTimer_, &QTimer::timeout, this, [this] { ShowProgress(); });
    setObjectName(QStringLiteral("FitDialog"));
    setWindowTitle(QStringLiteral("Fit the model to your mirror"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Fit these inputs to the log; the others stay as entered:"), this));
    FrontFilm = new QCheckBox(QStringLiteral("Front film coefficient (0 to 500 W/m\u00b2K)"), this);
    BackFilm = new QCheckBox(QStringLiteral("Back film coefficient (0 to 500 W/m\u00b2K)"), this);
    MirrorTemp =
        new QCheckBox(QStringLiteral("Initial mirror temperature (within 30 \u00b0C of the first measured)"), this);
    FrontRadiation = new QCheckBox(QStringLiteral("Front radiation (0 to 1)"), this);
    FrontFilm->setChecked(true);
    BackFilm->setChecked(true);
    // The start taken from the log's first, noisy sample is fitted too,
    // unless the user unticks it.
    MirrorTemp->setChecked(true);
    for (QCheckBox* c : {FrontFilm, BackFilm, MirrorTemp, FrontRadiation}) layout->addWidget(c);
    Progress = new QProgressBar(this);
    Progress->setRange(0, 2000);
    Progress->setFormat(QStringLiteral("%v model runs"));
    layout->addWidget(Progress);
    Result = new QLabel(this);
    Residuals = new QChartView(this);
    Residuals->setObjectName(QStringLiteral("Residuals"));
    Residuals->setMinimumSize(460, 200);
    Residuals->setRenderHint(QPainter::Antialiasing);
    Residuals->chart()->setTitle(QStringLiteral("Residuals at the fitted values"));
    Residuals->setVisible(false);
    Result->setTextFormat(Qt::RichText);
    Result->setWordWrap(true);
    Result->setMinimumWidth(460);
    layout->addWidget(Result);
    layout->addWidget(Residuals);
    auto* buttons = new QHBoxLayout;
    Start = new QPushButton(QStringLiteral("Fit"), this);
    Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    UseValues = new QPushButton(QStringLiteral("Use fitted values"), this);
    Close = new QPushButton(QStringLiteral("Close"), this);
    Cancel->setEnabled(false);
    UseValues->setEnabled(false);
    for (QPushButton* b : {Start, Cancel, UseValues, Close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(Start, &QPushButton::clicked, this, [this] { Guarded([this] { RunFit(); }); });
    connect(Cancel, &QPushButton::clicked, this, [this] { worker_->Cancel(); });
    connect(UseValues, &QPushButton::clicked, this, [this] {
        if (fitted_)
            emit useValues(*fitted_);
        accept();
    });
    connect(Close, &QPushButton::clicked, this, [this] { reject(); });
}

bool TFitDialog::Running() const
{
    return worker_->Busy();
}

void TFitDialog::reject()
{
    // Closing while the job runs cancels it; the dialog closes when it has ended.
    if (!worker_->CancelThen(this, [this] { QDialog::reject(); }))
        QDialog::reject();
}

void TFitDialog::RunFit()
{
    if (worker_->Busy())
        return;
    std::vector<TFitParameter> params;
    const QCheckBox* boxes[] = {FrontFilm, BackFilm, MirrorTemp, FrontRadiation};
    for (int i = 0; i < 4; ++i)
        if (boxes[i]->isChecked())
            params.push_back(TFitParameter(i));
    if (params.empty()) {
        Result->setText(QStringLiteral("Choose at least one input to fit."));
        return;
    }
    TFitJob job;
    try {
        job = prepare_(params);
    } catch (const std::exception& e) {
        Result->setText(ErrorReportText(QString::fromUtf8(e.what())).toHtmlEscaped());
        return;
    }
    fitted_.reset();
    runs_ = 0;
    bestRms_ = 0;
    auto result = std::make_shared<TFitResult>();
    Start->setEnabled(false);
    UseValues->setEnabled(false);
    Cancel->setEnabled(true);
    Progress->setValue(0);
    Result->setText(QStringLiteral("Fitting\u2026"));
    worker_->Start(
        [this, job, result](std::stop_token stop) {
            *result = job(
                [this](int runs, double rms) {
                    runs_ = runs;
                    bestRms_ = rms;
                    return true;
                },
                stop);
        },
        [this, result](const QString& error) {
            pending_ = result;
            FitEnded(error);
        });
    progressTimer_->start();
}

void TFitDialog::ShowProgress()
{
    const int runs = runs_;
    if (runs == 0)
        return;
    Progress->setMaximum(std::max(Progress->maximum(), runs));
    Progress->setValue(runs);
    Result->setText(QStringLiteral("Fitting\u2026 best RMS so far ") + Number(Difference(bestRms_), decimal_) +
                    Degrees());
}

void TFitDialog::FitEnded(const QString& error)
{
    progressTimer_->stop();
    Start->setEnabled(true);
    Cancel->setEnabled(false);
    const TFitResult r = *pending_;
    pending_.reset();
    if (!error.isEmpty()) {
        Result->setText(ErrorReportText(error).toHtmlEscaped());
    } else if (r.Cancelled) {
        Result->setText(QStringLiteral("The fit was cancelled; the inputs are unchanged."));
    } else {
        // The bar ends full, at the count of model runs the result states.
        Progress->setMaximum(std::max(r.Evaluations, 1));
        Progress->setValue(r.Evaluations);
        fitted_ = r;
        ShowResult(r);
        UseValues->setEnabled(true);
    }
    emit fitFinished();
}

void TFitDialog::ShowResult(const TFitResult& r)
{
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">");
    for (std::size_t i = 0; i < r.Parameters.size(); ++i) {
        const bool temperature = r.Parameters[i] == TFitParameter::MirrorTemp;
        const QString unit = temperature ? Degrees().mid(1) : QString::fromUtf8(FitParameterUnit(r.Parameters[i], true));
        const bool none = i < r.NotDetermined.size() && r.NotDetermined[i];
        const TUncertainText shown =
            temperature ? UncertainText(TemperatureShown(r.Values[i], Unit), Difference(r.Uncertainties[i]), decimal_)
                        : UncertainText(r.Values[i], r.Uncertainties[i], decimal_);
        html += QStringLiteral("<tr><td>") + QString::fromLatin1(Captions[int(r.Parameters[i])]) +
                QStringLiteral("</td><td align=\"right\"><b>") + QString::fromStdString(shown.Value) +
                QStringLiteral("</b></td><td>\u00b1 ") + QString::fromStdString(shown.Uncertainty) + u' ' + unit +
                QStringLiteral("</td><td>") +
                (none                  ? QStringLiteral("<i>not determined by this log</i>")
                 : r.PoorlyDetermined[i] ? QStringLiteral("<i>poorly determined by this log</i>")
                                         : QString()) +
                QStringLiteral("</td></tr>");
    }
    for (std::size_t i = 0; i < r.Correlation.size(); ++i)
        for (std::size_t j = i + 1; j < r.Correlation.size(); ++j)
            html += QStringLiteral("<tr><td colspan=\"4\">Correlation of ") +
                    QString::fromLatin1(FitParameterKey(r.Parameters[i])) + QStringLiteral(" and ") +
                    QString::fromLatin1(FitParameterKey(r.Parameters[j])) + QStringLiteral(": ") +
                    Number(r.Correlation[i][j], decimal_) + QStringLiteral("</td></tr>");
    html += QStringLiteral("</table>RMS difference ") + Number(Difference(r.RmsBefore), decimal_) + Degrees() +
            QStringLiteral(" before, ") + Number(Difference(r.RmsAfter), decimal_) + Degrees() +
            QStringLiteral(" after, over ") + QString::number(r.Points) + QStringLiteral(" points; ") +
            QString::number(r.Evaluations) + QStringLiteral(" model runs; sensor noise about ") +
            Number(Difference(r.NoiseEstimate), decimal_) + Degrees() + QStringLiteral(".<br>") + QString::number(r.DegreesOfFreedom) +
            QStringLiteral(" degrees of freedom; residuals' lag-1 autocorrelation ") +
            QString::fromStdString(FixedText(r.ResidualAutocorrelation, 2, decimal_)) + u'.';
    for (const std::string& w : r.Warnings)
        html += QStringLiteral("<br><b>Warning:</b> ") + QString::fromStdString(w).toHtmlEscaped();
    Result->setText(html);
    ShowResiduals(r);
    adjustSize();  // the dialog grows to the result's last line
}

void TFitDialog::ShowResiduals(const TFitResult& r)
{
    QChart* chart = Residuals->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* a : chart->axes()) chart->removeAxis(a);
    double lo = 0, hi = 0;
    for (const auto& [points, name, colour] :
         {std::tuple{&r.SurfaceResiduals, "surface", QColor(0, 0, 200)}, {&r.BackResiduals, "back", QColor(0, 150, 0)}}) {
        if (points->empty())
            continue;
        auto* s = new QScatterSeries;
        s->setName(QString::fromLatin1(name));
        s->setMarkerSize(4);
        s->setColor(colour);
        s->setBorderColor(colour);
        for (const TMeasuredPoint& p : *points) {
            const double v = Difference(p.Value);
            s->append(p.Time / 60, v);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        chart->addSeries(s);
    }
    chart->createDefaultAxes();
    if (chart->axes(Qt::Vertical).isEmpty())
        return;
    // Every point inside the axes, symmetric about zero.
    const double span = std::max({std::fabs(lo), std::fabs(hi), 1e-6}) * 1.1;
    chart->axes(Qt::Vertical).first()->setRange(-span, span);
    chart->axes(Qt::Vertical).first()->setTitleText(QStringLiteral("measured \u2212 model (") + Degrees().mid(1) + u')');
    chart->axes(Qt::Horizontal).first()->setTitleText(QStringLiteral("time (min)"));
    Residuals->setVisible(true);
}

QString TFitDialog::Degrees() const
{
    return QString::fromStdString(" " + TemperatureSymbol(Unit));
}

double TFitDialog::Difference(double kelvin) const
{
    return TemperatureDifferenceShown(kelvin, Unit);
}

TFitDialog::~TFitDialog()
{
    worker_->Stop();
}

}  // namespace brennic
