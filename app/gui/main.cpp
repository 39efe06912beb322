#include "app/gui/ErrorReport.h"
#include "app/gui/MainOrvalis.h"

#include <QScreen>

using namespace brennic;

int main(int argc, char** argv)
{
    TBrennicApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brennic"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brennic"));

    UseWindowFont();

    int status = 0;
    Guarded([&] {
        TFrmBrennic window;
        const QRect screen = window.screen()->availableGeometry();
        window.move(screen.center() - window.rect().center());
        window.show();
        status = app.exec();
    });
    return status;
}
