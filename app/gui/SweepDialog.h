// What does a fan, a thinner mirror or another glass buy? Sweeps one or two
// inputs over a list or range of values on the worker and shows the ready
// time as a line (one input) or a coloured grid (two).
#pragma once

#include "app/core/run/Sweep.h"
#include "app/gui/RunWorker.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace brennic {

class TSweepDialog : public QDialog {
    Q_OBJECT
public:
    // base gives what every case starts from (the window's inputs, checked
    // with each case's values).
    TSweepDialog(std::function<TRequestSource()> base, char16_t decimalSeparator, QWidget* parent = nullptr);
    // Stops the job before the members it writes are gone.
    ~TSweepDialog() override;

    QComboBox *Key1, *Key2, *Quantity, *Tolerance;
    QLineEdit *Values1, *Values2;
    QPushButton *Run, *Cancel, *Copy, *Export, *Close;
    QProgressBar* Progress;
    QLabel* Status;
    QTableWidget* Table;
    QChartView* Chart;

    // Starts the sweep; sweepFinished() follows when it has ended.
    void RunSweep();
    bool Running() const { return worker_->Busy(); }
    // The last sweep's table as CSV, "" before one has ended.
    std::string TableText() const;
    void SaveTable(const QString& path) const;
    // The chosen quantity's ready time (minutes) of one case, if reached.
    std::optional<double> ReadyMinutes(std::size_t index) const;

signals:
    void sweepFinished();

protected:
    void reject() override;

private:
    void SweepEnded(const QString& error);
    void ShowResults();
    void ShowLine();
    void ShowGrid();

    std::function<TRequestSource()> base_;
    char16_t decimal_;
    std::optional<double> clockZero_;  // the sweep's air has dates: ready times on its clock too
    TRunWorker* worker_;
    QTimer* progressTimer_;
    // Cases checked, then checked and run (the bar counts both).
    std::atomic<std::size_t> done_{0};
    // Set by the worker when the checks are done and the cases run.
    std::atomic<bool> running_{false};
    QString note_;
    std::optional<TSweepPlan> plan_;
    std::vector<TReadiness> results_;
};

}  // namespace brennic
