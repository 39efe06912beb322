// Loading a log of the user's own mirror: the file and which of its columns
// hold the surface, the back and the air.
#pragma once

#include "app/core/tables/MeasuredLog.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace brennic {

class TLogDialog : public QDialog {
    Q_OBJECT
public:
    explicit TLogDialog(QWidget* parent = nullptr);

    QLineEdit* Path;
    QComboBox *Surface, *Back, *Air;
    QLineEdit* Start;
    QLabel* Info;
    QDialogButtonBox* Buttons;

    void ReadFile();
    TLogColumns Columns() const;
    std::shared_ptr<const TMeasuredLog> Log() const { return log_; }

private:
    void LoadAndAccept();
    std::shared_ptr<const TMeasuredLog> log_;
};

}  // namespace brennic
