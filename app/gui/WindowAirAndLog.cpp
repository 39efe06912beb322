// The window's air from a file, the log of the user's mirror and the fit to it.
#include <QMessageBox>
#include "app/gui/MainOrvalis.h"

#include "app/core/results/Readiness.h"
#include "app/gui/AirFileDialog.h"
#include "app/gui/ErrorReport.h"
#include "app/gui/FitDialog.h"
#include "app/gui/ForecastDialog.h"
#include "app/gui/LogDialog.h"
#include "app/gui/WindowText.h"
#include "support/NumberText.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QToolButton>

namespace brennic {

void TFrmBrennic::ChooseAirFile()
{
    TAirFileDialog dialog(this);
    dialog.SetChoice(AirChoice);
    if (dialog.exec() == QDialog::Accepted && dialog.Source())
        UseAirSource(dialog.Source(), dialog.Choice(), dialog.FitDuration());
}

void TFrmBrennic::ChooseForecast()
{
    TForecastDialog dialog(this);
    if (dialog.exec() == QDialog::Accepted && dialog.Source())
        UseAirSource(dialog.Source(), dialog.Choice(), dialog.FitDuration());
}

void TFrmBrennic::UseAirFile(const TAirFileChoice& choice, bool fitDuration)
{
    UseAirSource(TAirSource::Load(choice), choice, fitDuration);
}

void TFrmBrennic::UseAirSource(std::shared_ptr<const TAirSource> source, const TAirFileChoice& choice, bool fitDuration)
{
    if (!AirSource) {
        rampTexts_[0] = FieldText(fInitialAirTemp);
        rampTexts_[1] = FieldText(fFinalAirTemp);
    }
    AirSource = std::move(source);
    AirChoice = choice;
    if (fitDuration && AirSource->EndsAt() > 0)
        edtTimeInterval->setText(ToQ(FormatFloat(AirSource->EndsAt() / 60, Regional.DecimalSeparator)));
    ShowAirFromFile();
    AirBar->ShowFile(QString::fromStdString(AirSource->Describe()));
    // A file that knows its place's height gives the site's elevation.
    if (const auto elevation = AirSource->Table.ElevationMetres) {
        const QString metres = ToQ(FormatFloat(*elevation, Regional.DecimalSeparator));
        if (FieldText(fSiteElevation) != metres) {
            SetFieldText(fSiteElevation, metres);
            StatusBar1->ShowMessage(QStringLiteral("Site elevation %1 %2, from %3")
                                        .arg(FieldEdit(fSiteElevation)->text(),
                                             QString::fromStdString(FieldUnitShown(fSiteElevation, Units)), QString::fromStdString(AirSource->Table.File)));
        }
    }
    MarkDirty();
}

void TFrmBrennic::ShowAirFromFile()
{
    // The air fields show the file's air at the start and the end of the period.
    double minutes = 0;
    TryStrToFloat(FromQ(edtTimeInterval->text()), Regional.DecimalSeparator, minutes);
    const double end = std::isfinite(minutes) ? std::max(minutes * 60, 0.0) : 0;
    const QString from = QStringLiteral("From ") + QString::fromStdString(AirSource->Describe());
    for (auto [field, t] : {std::pair{fInitialAirTemp, 0.0}, std::pair{fFinalAirTemp, end}}) {
        SetFieldText(field, ToQ(FormatFloat(AirSource->Air.At(t), Regional.DecimalSeparator)));
        QLineEdit* edit = FieldEdit(field);
        edit->setEnabled(false);
        edit->setToolTip(from);
    }
}

void TFrmBrennic::UseAirRamp()
{
    if (!AirSource)
        return;
    AirSource.reset();
    SetFieldText(fInitialAirTemp, rampTexts_[0]);
    SetFieldText(fFinalAirTemp, rampTexts_[1]);
    for (QLineEdit* e : {edtInitialAirTemp, edtFinalAirTemp}) {
        e->setEnabled(true);
        e->setToolTip(AirHint());
    }
    AirBar->ShowRamp();
}

void TFrmBrennic::ChooseMeasuredLog()
{
    TLogDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted || !dialog.Log())
        return;
    LoadMeasuredLog(dialog.Path->text().toStdString(), dialog.Columns(), dialog.Start->text().trimmed().toStdString());
}

void TFrmBrennic::LoadMeasuredLog(const std::string& path, const TLogColumns& columns, const std::string& start,
                                  bool ask)
{
    auto log = TMeasuredLog::Load(path, columns, start);
    // A log with its own air replaces the air in use only when the user says so.
    bool useLogAir = bool(log->Air);
    if (ask && log->Air && (AirSource || !DefaultRamp()))
        useLogAir = LogAirPrompt ? LogAirPrompt() : AskLogAir();
    MeasuredLog = log;
    TakenFit.reset();  // a fit to another log
    MeasuredPath = path;
    MeasuredColumns = columns;
    MeasuredStart = start;
    // The log's start and span go into their fields, where the user sees them.
    TInputTexts texts = InputTexts();
    ApplyLogDefaults(texts, *log, Regional.DecimalSeparator, false, false);
    for (int field : {fInitialMirrorTemp, fDuration}) SetFieldText(field, ToQ(texts.Text(field)));
    QString said = QStringLiteral("Measured log loaded: the start temperature (%1 %2) and the duration (%3 min) "
                                  "come from it")
                       .arg(FieldEdit(fInitialMirrorTemp)->text(),
                            QString::fromStdString(FieldUnitShown(fInitialMirrorTemp, Units)), ToQ(texts.Text(fDuration)));
    if (log->Air && useLogAir) {
        UseAirSource(log->Air, {path, columns.Air, start, "", "", "", "", ""}, false);
        ShowAirFromFile();
        said += QStringLiteral(", and the air from its air column");
    }
    StatusBar1->ShowMessage(said);
    TabSheet3->ShowMeasured(log.get());
    Measured = {};
    TabSheet3->SetMeasuredNote("Measured log loaded: press Run to compare");
    btnFit->setEnabled(true);
    RemoveLogAction->setEnabled(true);
    MarkDirty();
}

bool TFrmBrennic::DefaultRamp() const
{
    return FieldText(fInitialAirTemp) == ToQ(DefaultText(fInitialAirTemp, Regional.DecimalSeparator)) &&
           FieldText(fFinalAirTemp) == ToQ(DefaultText(fFinalAirTemp, Regional.DecimalSeparator));
}

bool TFrmBrennic::AskLogAir()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Brennic"),
                    QStringLiteral("The log has an air column of its own. Take the run's air from it, in place of %1?")
                        .arg(AirSource ? QString::fromStdString(AirSource->Describe())
                                       : QStringLiteral("the ramp of the two air fields")),
                    QMessageBox::NoButton, this);
    QPushButton* take = box.addButton(QStringLiteral("Use the log's air"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Keep the current air"), QMessageBox::RejectRole);
    box.exec();
    return box.clickedButton() == take;
}

void TFrmBrennic::RemoveMeasuredLog()
{
    if (!MeasuredLog)
        return;
    const bool ownAir = AirSource && AirSource == MeasuredLog->Air;
    MeasuredLog.reset();
    MeasuredPath.clear();
    MeasuredColumns = {};
    MeasuredStart.clear();
    Measured = {};
    TabSheet3->ShowMeasured(nullptr);
    TabSheet3->SetMeasuredNote("");
    btnFit->setEnabled(false);
    RemoveLogAction->setEnabled(false);
    StatusBar1->ShowMessage(ownAir ? QStringLiteral("Measured log removed; the air still comes from its file")
                                   : QStringLiteral("Measured log removed"));
    MarkDirty();
}

void TFrmBrennic::CompareWithLog()
{
    if (!MeasuredLog)
        return;
    // Only where the log's times meet the run's: another night has none.
    const TMeasuredLog aligned =
        Record.Air ? AlignedTo(*MeasuredLog, *Record.Air, Record.Duration) : *MeasuredLog;
    Measured = Compare(aligned, Record.Reports);
    if (Measured.Points == 0) {
        TabSheet3->SetMeasuredNote("Measured log: no point within this run's times, nothing compared");
        return;
    }
    TabSheet3->SetMeasuredNote("Measured log: RMS difference " + FixedText(Measured.Rms, 3, Regional.DecimalSeparator) +
                               " \u00b0C over " + std::to_string(Measured.Points) + " points");
}

TFrmBrennic::TFitJob TFrmBrennic::PrepareFit(const std::vector<TFitParameter>& params)
{
    if (!MeasuredLog)
        throw EBrennicError("Load a measured log first");
    TRunRequest request = CurrentRequest();
    request.Log = MeasuredLog;
    return [request = std::move(request), params](const TFitProgress& progress, std::stop_token stop) {
        return FitToLog(request, params, progress, stop);
    };
}

TFitResult TFrmBrennic::FitInputs(const std::vector<TFitParameter>& params, const TFitProgress& progress)
{
    return PrepareFit(params)(progress, {});
}

void TFrmBrennic::ShowFitDialog()
{
    TFitDialog dialog([this](const std::vector<TFitParameter>& p) { return PrepareFit(p); }, Regional.DecimalSeparator,
                      this);
    dialog.Unit = Units.Temperature;
    connect(&dialog, &TFitDialog::useValues, this, [this](const TFitResult& r) { UseFittedValues(r); });
    dialog.exec();
}

void TFrmBrennic::UseFittedValues(const TFitResult& r)
{
    NameNextInputStep("Fitted values");
    TakenFit = r;
    for (std::size_t i = 0; i < r.Parameters.size(); ++i) {
        const TFitParameter p = r.Parameters[i];
        const int field = p == TFitParameter::FrontFilm || p == TFitParameter::Films ? fFrontFilm
                          : p == TFitParameter::BackFilm                               ? fBackFilm
                          : p == TFitParameter::MirrorTemp                             ? fInitialMirrorTemp
                                                                                       : fFrontRadiation;
        // Rounded to what the data can tell, never beyond four decimals.
        const double v = std::round(r.Values[i] * 1e4) / 1e4;
        SetFieldText(field, ToQ(FormatFloat(v, Regional.DecimalSeparator)));
        if (p == TFitParameter::Films)
            SetFieldText(fBackFilm, ToQ(FormatFloat(v, Regional.DecimalSeparator)));
    }
}

}  // namespace brennic
