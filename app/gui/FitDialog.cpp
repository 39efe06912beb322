#include "app/gui/FitDialog.h"

#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <QCheckBox>
#include "app/gui/ErrorReport.h"

#include <QTimer>
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
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", v);
    QString s = QString::fromLatin1(text);
    return s.replace(u'.', QChar(sep));
}

const char* const Captions[] = {"Front film coefficient", "Back film coefficient", "Initial mirror temperature",
                                "Front radiation"};

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
    for (QCheckBox* c : {FrontFilm, BackFilm, MirrorTemp, FrontRadiation}) layout->addWidget(c);
    Progress = new QProgressBar(this);
    Progress->setRange(0, 2000);
    Progress->setFormat(QStringLiteral("%v model runs"));
    layout->addWidget(Progress);
    Result = new QLabel(this);
    Result->setTextFormat(Qt::RichText);
    Result->setMinimumWidth(460);
    layout->addWidget(Result);
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
    // Closing while a fit runs cancels it; the dialog closes when it has ended.
    if (worker_->Busy()) {
        worker_->Cancel();
        connect(worker_, &TRunWorker::finished, this, &QDialog::reject, Qt::SingleShotConnection);
        return;
    }
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
    Result->setText(QStringLiteral("Fitting\u2026 best RMS so far ") + Number(bestRms_, decimal_) +
                    QStringLiteral(" \u00b0C"));
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
        // The bar ends at the count of model runs the result states.
        Progress->setMaximum(std::max(Progress->maximum(), r.Evaluations));
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
        html += QStringLiteral("<tr><td>") + QString::fromLatin1(Captions[int(r.Parameters[i])]) +
                QStringLiteral("</td><td align=\"right\"><b>") + Number(r.Values[i], decimal_) +
                QStringLiteral("</b></td><td>\u00b1 ") + Number(r.Uncertainties[i], decimal_) +
                QStringLiteral("</td><td>") +
                (r.PoorlyDetermined[i] ? QStringLiteral("<i>poorly determined by this log</i>") : QString()) +
                QStringLiteral("</td></tr>");
    }
    html += QStringLiteral("</table>RMS difference ") + Number(r.RmsBefore, decimal_) +
            QStringLiteral(" \u00b0C before, ") + Number(r.RmsAfter, decimal_) +
            QStringLiteral(" \u00b0C after, over ") + QString::number(r.Points) + QStringLiteral(" points; ") +
            QString::number(r.Evaluations) + QStringLiteral(" model runs.");
    Result->setText(html);
}

}  // namespace brennic
