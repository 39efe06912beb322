// Where the run's air comes from, beside the page tabs: the linear ramp of
// the two air fields, or a file, named while it is in use.
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;

namespace brennic {

class TAirSourceBar : public QWidget {
    Q_OBJECT
public:
    explicit TAirSourceBar(QWidget* parent = nullptr);

    QComboBox* Source;

    void ShowRamp();
    void ShowFile(const QString& description);
    bool FileInUse() const { return file_; }

signals:
    void rampChosen();
    void fileRequested();
    void forecastRequested();

private:
    void Fill(const QString& description);
    bool file_ = false;
};

}  // namespace brennic
