// The status bar: one simple text panel; a click anywhere on it is reported.
#pragma once

#include <QLabel>
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

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QLabel* panel_;
    class QTimer* restore_;
};

}  // namespace brennic
