// Choosing a file of air temperatures for the run: the file, its columns
// for the air, the sky and the dew point, and where the run starts in it.
#pragma once

#include "app/core/tables/AirSource.h"

#include <QDialog>

#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace brennic {

class TAirPreview;

class TAirFileDialog : public QDialog {
    Q_OBJECT
public:
    explicit TAirFileDialog(QWidget* parent = nullptr);

    // Starts from an earlier choice.
    void SetChoice(const TAirFileChoice& choice);
    TAirFileChoice Choice() const;
    // The source read when the user pressed OK.
    std::shared_ptr<const TAirSource> Source() const { return source_; }
    // Whether the run should last as long as the file from the start on.
    bool FitDuration() const;

    QLineEdit* Path;
    QComboBox *AirColumn, *SkyColumn, *DewColumn, *TimeColumn, *DateOrder;
    QLineEdit* Start;
    TAirPreview* Preview;
    QCheckBox* WholeFile;
    QLabel* Info;
    QDialogButtonBox* Buttons;

    // Reads the file named in Path and offers its columns; the message of a
    // refused file is shown and OK stays disabled.
    void ReadFile();

private:
    void Browse();
    void LoadAndAccept();
    void UpdatePreview();
    void OfferColumns(const TTimeTable& t);

    std::optional<TTimeTable> table_;
    std::shared_ptr<const TAirSource> source_;
};

}  // namespace brennic
