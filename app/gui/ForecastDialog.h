// Tonight's forecast as the air: a place (remembered from one use of the
// program to the next), a fetch on the job worker with progress and cancel,
// then the rows as read, before OK.
#pragma once

#include "app/core/tables/AirSource.h"

#include <QDialog>

#include <atomic>
#include <memory>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace brennic {

class TAirPreview;

class TForecastDialog : public QDialog {
    Q_OBJECT
public:
    explicit TForecastDialog(QWidget* parent = nullptr);
    ~TForecastDialog() override;

    TAirFileChoice Choice() const { return choice_; }
    std::shared_ptr<const TAirSource> Source() const { return source_; }
    bool Fetching() const;
    // Whether the run is to last until the forecast ends.
    bool FitDuration() const;

    QLineEdit *Latitude, *Longitude;
    QPushButton *Fetch, *Cancel;
    QProgressBar* Progress;
    QCheckBox* WholeForecast;
    QLabel* Info;
    TAirPreview* Preview;
    QDialogButtonBox* Buttons;

    // Fetches for the place in the fields; the answer comes back later.
    void StartFetch();

private:
    void Finished(const QString& error, const std::string& path, double now);

    class TRunWorker* worker_;
    // Written by the worker, read by the progress timer.
    std::atomic<std::size_t> received_{0}, expected_{0};
    QTimer* timer_;
    TAirFileChoice choice_;
    std::shared_ptr<const TAirSource> source_;
};

}  // namespace brennic
