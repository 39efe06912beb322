// The help page in a window of the program's own, for a desktop where no
// browser answers.
#pragma once

#include <QDialog>

class QTextBrowser;

namespace brennic {

class THelpViewer : public QDialog {
    Q_OBJECT
public:
    THelpViewer(const QUrl& page, QWidget* parent = nullptr);
    QTextBrowser* Page;
};

}  // namespace brennic
