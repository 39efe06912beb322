// The window's runs: started from the inputs on the worker, taken in once
// per display frame, ended, cancelled and kept.
#include "app/gui/MainOrvalis.h"

#include "app/core/run/Engine.h"
#include "app/core/inputs/InputFields.h"
#include "app/gui/ErrorReport.h"
#include "app/gui/WindowText.h"
#include "app/gui/FieldLayout.h"
#include "app/gui/EvolutionPage.h"
#include "app/gui/ProfilePage.h"
#include "app/gui/RunWorker.h"
#include "app/gui/StatusBar.h"
#include "app/gui/SweepDialog.h"
#include "app/core/run/TimeLeft.h"

#include <QComboBox>
#include <QGroupBox>
#include <QToolButton>
#include <QLineEdit>
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace brennic {

void TFrmBrennic::SetButtonsRunning(bool running)
{
    if (running) {
        btnRun->setEnabled(false);
        btnExportCSV->setEnabled(false);
        btnCancel->setEnabled(true);
    } else {
        btnRun->setEnabled(true);
        btnCancel->setEnabled(false);
        if (runHadFocus_)
            btnRun->setFocus(Qt::OtherFocusReason);  // Space runs again
        runHadFocus_ = false;
        btnExportCSV->setEnabled(ResultLines->Count() > 1);
    }
    UpdateKeepButtons();
}

void TFrmBrennic::UpdateKeepButtons()
{
    const bool running = Running();
    btnKeepRun->setEnabled(!running && ResultLines && ResultLines->Count() > 1 && !Kept.Full());
    btnClearKept->setEnabled(!Kept.Runs().empty());
}

void TFrmBrennic::btnRunClick()
{
    if (Running())
        return;
    if (AirSource)
        ShowAirFromFile();  // the period may have changed the air at its end
    // Everything a run needs is checked before anything of the last run goes.
    StartRun(CurrentRequest());
}

TRequestSource TFrmBrennic::CurrentSource() const
{
    TRequestSource source;
    source.Texts = InputTexts();
    source.DecimalSeparator = Regional.DecimalSeparator;
    source.Naming = TFieldNaming::Caption;
    source.Use = TMemoryUse::KeepsResults;
    source.Settings = Regional;
    source.Air = AirSource;  // a log's air, when a log is loaded
    return source;
}

TRunRequest TFrmBrennic::CurrentRequest()
{
    // A refused field takes the focus with its text selected.
    auto focus = [this](int field, const char* reason) {
        if (FieldLayouts[std::size_t(field)].Group == ConditionsGroup)
            PageControl1->setCurrentIndex(ConditionsPage);
        if (QLineEdit* edit = FieldEdit(field)) {
            MarkRefused(edit, QString::fromUtf8(reason));
            edit->setFocus(Qt::OtherFocusReason);
            edit->selectAll();
        } else if (QComboBox* box = FieldCombo(field)) {
            MarkRefused(box, QString::fromUtf8(reason));
            box->setFocus(Qt::OtherFocusReason);
        }
    };
    try {
        return BuildRunRequest(CurrentSource());
    } catch (const EFieldConvertError& e) {
        focus(e.Field, e.what());
        throw;
    } catch (const EFieldError& e) {
        if (!FieldConverted(e.Field, Units) || e.Rule.empty()) {
            focus(e.Field, e.what());
            throw;
        }
        // The value as the user typed it, in the units shown, beside its own.
        const EFieldError shown(RefusalInShownUnits(e.Field, FromQ(FieldEdit(e.Field)->text()), FromQ(FieldText(e.Field)),
                                                    e.Rule, Units, TFieldNaming::Caption),
                                e.Field, e.Rule);
        focus(e.Field, shown.what());
        throw shown;
    }
}

void TFrmBrennic::StartRun(const TRunRequest& request)
{
    *Solver = request.Solver;
    Record.Start(request);
    if (PageControl1->currentIndex() == ConditionsPage)
        PageControl1->setCurrentIndex(EvolutionPage);  // the run shows where it can be seen
    cancelled_ = false;
    TabSheet3->SetStopped(false);
    TabSheet3->StartRun(Record);
    TabSheet1->StartRun(request.Plan);
    TabSheet3->ShowKept(Kept, Record, Regional.DecimalSeparator);
    Chunks.Reset(request.Settings, Record.SnapshotStride);
    auto films = std::make_shared<TFilmRanges>();
    Worker->Start(
        [this, request, films](std::stop_token stop) {
            RunEngine(
                request, [this](std::span<const double> p, std::span<const double> t, double time) { Chunks.Add(p, t, time); },
                stop, films.get());
        },
        [this, films, vary = FilmsVary(request.Solver)](const QString& error) {
            if (vary)
                Record.Films = *films;
            RunEnded(error);
        });
    runHadFocus_ = btnRun->hasFocus();
    SetButtonsRunning(true);
    SetInputsEnabled(false);
    runClock_.start();
    TakeFrame();
    frameTimer_->start();
}

void TFrmBrennic::RunEnded(const QString& error)
{
    frameTimer_->stop();
    StatusBar1->EndProgress();
    // The buttons and inputs come back whatever happens while the last
    // reports are taken and drawn.
    struct Restore {
        TFrmBrennic* w;
        ~Restore()
        {
            w->SetButtonsRunning(false);
            w->SetInputsEnabled(true);
        }
    };
    {
        Restore restore{this};
        Record.Apply(Chunks.Take());
        TabSheet3->SetStopped(cancelled_ && Record.Readiness.Reports() > 0 &&
                              Record.Readiness.Last().Time < Record.Duration);
        if (error.isEmpty()) {
            CompareWithLog();
            TabSheet3->Redraw(Record, true);
            RedrawPage(ProfilePage);
        } else {
            RedrawPage(PageControl1->currentIndex());
        }
    }
    emit RunFinished();
    if (closeRequested_)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    if (!error.isEmpty())
        ReportError(error);
}

void TFrmBrennic::SetInputsEnabled(bool enabled)
{
    for (QWidget* w : std::initializer_list<QWidget*>{grpMirror, grpHeatTransfer, grpSimulation, TabConditions, AirBar,
                                                      btnMeasured, btnFile, btnSweep})
        w->setEnabled(enabled);
    btnFit->setEnabled(enabled && MeasuredLog != nullptr);
    // The menu bar's commands that open, change or replace the inputs wait
    // too; quitting does not.
    inputsLocked_ = !enabled;
    for (QAction* a : FileMenu->actions())
        if (a != QuitAction)
            a->setEnabled(enabled);
    RemoveLogAction->setEnabled(enabled && MeasuredLog != nullptr);
    UpdateUndoActions();
}

void TFrmBrennic::ShowSweepDialog()
{
    TSweepDialog dialog([this] { return CurrentSource(); }, Regional.DecimalSeparator, this);
    dialog.exec();
}

void TFrmBrennic::btnCancelClick()
{
    if (Running()) {
        cancelled_ = true;
        Worker->Cancel();
    }
}

void TFrmBrennic::btnKeepRunClick()
{
    if (!Running() && ResultLines->Count() > 1 &&
        Kept.Keep(Record, Record.Air ? std::optional<TAirFileChoice>(AirChoice) : std::nullopt))
        TabSheet3->ShowKept(Kept, Record, Regional.DecimalSeparator);
    UpdateKeepButtons();
}

void TFrmBrennic::btnClearKeptClick()
{
    Kept.Clear();
    TabSheet3->ShowKept(Kept, Record, Regional.DecimalSeparator);
    UpdateKeepButtons();
}

void TFrmBrennic::TakeFrame()
{
    try {
        Record.Apply(Chunks.Take());
        RedrawPage(PageControl1->currentIndex());
        ShowRunProgress();
    } catch (...) {
        // A run that cannot be shown stops; the error is reported once.
        Worker->Cancel();
        throw;
    }
}

void TFrmBrennic::ShowRunProgress()
{
    // A run that ends within half a second shows no bar at all.
    constexpr qint64 FirstShownMs = 500;
    if (!(Record.Duration > 0) || Record.Readiness.Reports() == 0 || runClock_.elapsed() < FirstShownMs)
        return;
    const double fraction = Record.Readiness.Last().Time / Record.Duration;
    const std::optional<double> left = SecondsLeft(double(runClock_.elapsed()) / 1000, fraction);
    StatusBar1->ShowProgress(fraction, left ? QString::fromStdString(TimeLeftText(*left)) : QString());
}

void TFrmBrennic::RedrawPage(int page)
{
    if (page == EvolutionPage)
        TabSheet3->Redraw(Record);
    else if (page == ProfilePage)
        TabSheet1->Redraw(Record);
}

}  // namespace brennic
