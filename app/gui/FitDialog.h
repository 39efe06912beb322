// Fitting the model to the measured log: which inputs, the progress, the
// values found with their uncertainty, and taking them over.
#pragma once

#include "app/core/results/DisplayUnits.h"

#include "app/core/fit/Fit.h"
#include "app/gui/RunWorker.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QChartView;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace brennic {

class TFitDialog : public QDialog {
    Q_OBJECT
public:
    // prepare checks the inputs for the chosen parameters (on the window's
    // thread, throwing a refusal) and returns the fit, which the dialog runs
    // on its worker with progress and cancel.
    using TFitJob = std::function<TFitResult(const TFitProgress&, std::stop_token)>;
    using TPrepareFit = std::function<TFitJob(const std::vector<TFitParameter>&)>;
    TFitDialog(TPrepareFit prepare, char16_t decimalSeparator, QWidget* parent = nullptr);
    // The fitted temperature, the differences and the residuals in degC or degF.
    TTemperatureUnit Unit = TTemperatureUnit::Celsius;
    // Stops the job before the members it writes are gone.
    ~TFitDialog() override;

    QCheckBox *FrontFilm, *BackFilm, *MirrorTemp, *FrontRadiation;
    QPushButton *Start, *Cancel, *UseValues, *Close;
    QProgressBar* Progress;
    QLabel* Result;
    QChartView* Residuals;  // measured minus model at the fitted values

    // The last fit's result, when it ended and was not cancelled.
    const std::optional<TFitResult>& Fitted() const { return fitted_; }
    // Starts the fit; fitFinished() follows when it has ended.
    void RunFit();
    bool Running() const;

signals:
    // "Use fitted values" was pressed.
    void useValues(const TFitResult& result);
    void fitFinished();

protected:
    void reject() override;

private:
    QString Degrees() const;  // " °C" or " °F"
    double Difference(double kelvin) const;
    void ShowResult(const TFitResult& r);
    void ShowProgress();
    void ShowResiduals(const TFitResult& r);
    void FitEnded(const QString& error);

    TPrepareFit prepare_;
    char16_t decimal_;
    TRunWorker* worker_;
    QTimer* progressTimer_;
    // Written by the worker, read by the progress timer.
    std::atomic<int> runs_{0};
    std::atomic<double> bestRms_{0};
    std::shared_ptr<TFitResult> pending_;
    std::optional<TFitResult> fitted_;
};

}  // namespace brennic
