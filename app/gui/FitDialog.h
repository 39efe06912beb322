// Fitting the model to the measured log: which inputs, the progress, the
// values found with their uncertainty, and taking them over.
#pragma once

#include "app/core/Fit.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace brennic {

class TFitDialog : public QDialog {
    Q_OBJECT
public:
    // fit runs the fit for the chosen inputs, reporting progress through the
    // callback it is given; the dialog keeps the window responsive meanwhile.
    using TRunFit = std::function<TFitResult(const std::vector<TFitParameter>&, const TFitProgress&)>;
    TFitDialog(TRunFit fit, char16_t decimalSeparator, QWidget* parent = nullptr);

    QCheckBox *FrontFilm, *BackFilm, *MirrorTemp, *FrontRadiation;
    QPushButton *Start, *Cancel, *UseValues, *Close;
    QProgressBar* Progress;
    QLabel* Result;

    // The last fit's result, when it ended and was not cancelled.
    const std::optional<TFitResult>& Fitted() const { return fitted_; }
    void RunFit();

signals:
    // "Use fitted values" was pressed.
    void useValues(const TFitResult& result);

private:
    void ShowResult(const TFitResult& r);

    TRunFit fit_;
    char16_t decimal_;
    bool cancel_ = false;
    bool running_ = false;
    std::optional<TFitResult> fitted_;
};

}  // namespace brennic
