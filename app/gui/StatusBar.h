// The status bar: one simple text panel; a click anywhere on it is reported.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

namespace brennic {

class TClickStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TClickStatusBar(QWidget* parent = nullptr);
    QLabel* Panel() const { return panel_; }

    // The notice shown: the year, the authors and how to open the help.
    static QString Notice();
    // A message in place of the notice for a while ("Saved to ...").
    void ShowMessage(const QString& message, int milliseconds = 6000);
    // A run's progress at the right, with the time left when known; gone
    // when the run ends.
    void ShowProgress(double fraction, const QString& timeLeft);
    void EndProgress();
    QProgressBar* Progress() const { return progress_; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QLabel* panel_;
    QProgressBar* progress_;
    class QTimer* restore_;
};

}  // namespace brennic
