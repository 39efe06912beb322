// A scenario's kept runs, computed again beside the window: each with the
// air it was kept with. A file that is gone or has changed since (its hash
// differs) leaves the run as it was saved, and the status bar says so; a
// cancel leaves the rest as saved too.
#include "app/gui/MainOrvalis.h"
#include "app/gui/ComparisonDialog.h"

#include "app/core/run/Engine.h"
#include "app/gui/ErrorReport.h"
#include "app/gui/EvolutionPage.h"

#include <QStringList>

#include <memory>

namespace brennic {

namespace {

// A kept run as the scenario saved it: its reports, its readiness from them.
TKeptRun AsSaved(const TScenarioKeptRun& k, const TInputTexts& inputs, const std::vector<double>& tolerances,
                 const std::vector<double>& seeing)
{
    TKeptRun run{inputs, k.Saved, TReadiness(tolerances), k.Name, true, k.Air, k.AirHash};
    run.Readiness.SetSeeing(seeing);
    for (const TStepValues& v : k.Saved) run.Readiness.Add(v);
    return run;
}

struct TKeptJob {
    std::vector<TKeptRun> Runs;
    QStringList Notes;
};

}  // namespace

void TFrmBrennic::ComputeKeptRuns(const TScenario& s, std::shared_ptr<const TAirSource> scenarioAir,
                                  std::optional<TAirFileChoice> scenarioChoice)
{
    if (s.Kept.empty())
        return;
    const TRequestSource base = CurrentSource();
    const char16_t dec = Regional.DecimalSeparator;
    auto job = std::make_shared<TKeptJob>();
    std::vector<TScenarioKeptRun> kept = s.Kept;
    const std::vector<double> seeing = ListValues(base.Texts.Text(fSeeing), Regional.DecimalSeparator);
    Worker->Start(
        [job, kept, base, dec, scenarioAir, scenarioChoice, seeing](std::stop_token stop) {
            for (std::size_t i = 0; i < kept.size(); ++i) {
                const TScenarioKeptRun& k = kept[i];
                const TInputTexts inputs = WithDecimalSeparator(k.Inputs, u'.', dec);
                const QString name = QString::number(i + 1);
                auto saved = [&](const QString& why) {
                    if (k.Saved.empty()) {
                        job->Notes << QStringLiteral("kept run %1 %2, and was saved without its curves: left out")
                                          .arg(name, why);
                        return;
                    }
                    job->Runs.push_back(AsSaved(k, inputs, base.Tolerances, seeing));
                    job->Notes << QStringLiteral("kept run %1 %2: shown as saved").arg(name, why);
                };
                if (stop.stop_requested()) {
                    saved(QStringLiteral("was not computed again (cancelled)"));
                    continue;
                }
                TRequestSource source = base;
                source.Texts = inputs;
                std::optional<TAirFileChoice> choice = k.Ramp ? std::nullopt : k.Air ? k.Air : scenarioChoice;
                source.Air = nullptr;
                if (choice) {
                    try {
                        source.Air = k.Air ? TAirSource::Load(*choice) : scenarioAir;
                    } catch (const std::exception&) {
                        saved(QStringLiteral("has lost its air file %1").arg(QString::fromStdString(choice->Path)));
                        continue;
                    }
                    if (!k.AirHash.empty() && source.Air->Table.ContentHash != k.AirHash) {
                        saved(QStringLiteral("has an air file that changed since, %1")
                                  .arg(QString::fromStdString(choice->Path)));
                        continue;
                    }
                }
                try {
                    TKeptRun run = RunKept(BuildRunRequest(source), k.Name, stop);
                    run.Air = choice;
                    job->Runs.push_back(std::move(run));
                } catch (const EBrennicError&) {
                    if (!stop.stop_requested())
                        throw;
                    saved(QStringLiteral("was not computed again (cancelled)"));
                }
            }
        },
        [this, job](const QString& error) {
            SetButtonsRunning(false);
            SetInputsEnabled(true);
            Kept.Clear();
            for (TKeptRun& run : job->Runs) Kept.Add(std::move(run));
            TabSheet3->ShowKept(Kept, Record, Regional.DecimalSeparator);
            UpdateKeepButtons();
            if (!job->Notes.isEmpty())
                StatusBar1->ShowMessage(job->Notes.join(QStringLiteral("; ")), 15000);
            if (!error.isEmpty())
                ReportError(error);
        });
    StatusBar1->ShowMessage(QStringLiteral("Computing the scenario's kept runs again (Esc cancels)\u2026"), 600000);
    SetButtonsRunning(true);
    SetInputsEnabled(false);
}

TComparisonTable TFrmBrennic::RunsCompared() const
{
    return CompareRuns(Record.Readiness, Record.Inputs, AirSource ? std::optional<TAirFileChoice>(AirChoice) : std::nullopt,
                       Kept, Regional.DecimalSeparator, Units);
}

void TFrmBrennic::ShowComparison()
{
    TComparisonDialog dialog(RunsCompared(), this);
    dialog.exec();
}

}  // namespace brennic
