#include "app/gui/ErrorReport.h"
#include "app/gui/MainOrvalis.h"
#include "support/FileOutput.h"

#include <QScreen>
#include <QTimer>

using namespace brennic;

int main(int argc, char** argv)
{
    // A signal that ends the program takes no half-written file with it.
    RemoveTemporaryFilesOnSignals();
    TBrennicApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brennic"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brennic"));

    UseWindowFont();

    int status = 0;
    Guarded([&] {
        TFrmBrennic window;
        window.LoadDisplayUnits();
        const QRect screen = window.screen()->availableGeometry();
        window.move(screen.center() - window.rect().center());
        window.show();
        // brennic FILE: a scenario, a measured log or an air table, opened
        // once the window is up so that a refusal shows over it.
        const QStringList files = QApplication::arguments().mid(1);
        if (!files.isEmpty())
            QTimer::singleShot(0, &window, [&window, file = files.first()] { Guarded([&] { window.OpenAnyFile(file); }); });
        status = app.exec();
    });
    return status;
}
