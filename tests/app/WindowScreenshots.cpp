// Not a test: takes screenshots of the real window (run under Xvfb by
// scripts/screenshot.sh) at start and of both pages after a default run.
#include "app/gui/AirFileDialog.h"
#include "app/gui/ErrorReport.h"
#include "app/gui/ForecastDialog.h"
#include "app/gui/LivePage.h"
#include "app/gui/ComparisonDialog.h"
#include "app/gui/MainOrvalis.h"
#include "app/gui/StripView.h"
#include "app/gui/SweepDialog.h"

#include <QComboBox>

#include <cmath>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolTip>

using namespace brennic;

namespace {

// A decimal number in the window's own form (a comma in de_DE).
QString Dec(const TFrmBrennic& w, const char* text)
{
    return QString::fromLatin1(text).replace(u'.', QChar(w.Regional.DecimalSeparator));
}

void RunAndWait(TFrmBrennic& w)
{
    w.btnRun->click();
    (void)QTest::qWaitFor([&] { return !w.Running(); }, 300000);
}

}  // namespace

int main(int argc, char** argv)
{
    TBrennicApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brennic"));
    UseWindowFont();
    const QString dir = qEnvironmentVariable("BRENNIC_SCREENSHOT_DIR", QStringLiteral("."));
    TFrmBrennic w;
    w.move(20, 20);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    auto shoot = [&](const char* name) {
        QTest::qWait(300);
        w.screen()->grabWindow(w.winId()).save(dir + QLatin1Char('/') + QLatin1String(name));
    };
    shoot("start.png");
    QToolTip::showText(w.edtFrontFanFlow->mapToGlobal(QPoint(10, 10)), w.edtFrontFanFlow->toolTip(), w.edtFrontFanFlow);
    QTest::qWait(300);
    w.screen()->grabWindow(0).save(dir + QStringLiteral("/hint.png"));
    QToolTip::hideText();
    // The Conditions page: typed films (the correlations' inputs disabled),
    // then computed films with a fan behind the mirror.
    w.PageControl1->setCurrentIndex(ConditionsPage);
    shoot("conditions-typed.png");
    w.SetFieldText(fFilms, QStringLiteral("conditions"));
    w.SetFieldText(fBackFan, QStringLiteral("80,2.5,180"));
    shoot("conditions-fan.png");
    w.SetFieldText(fBackFan, QString());
    w.SetFieldText(fFilms, QStringLiteral("typed"));
    w.PageControl1->setCurrentIndex(ProfilePage);
    RunAndWait(w);
    shoot("profile-after-run.png");
    w.PageControl1->setCurrentIndex(1);
    shoot("evolution-after-run.png");

    // A compared pair: a 25 mm Pyrex mirror from 20 degC into 10 degC air,
    // kept without a fan, then run with a front fan of 25 W/m2K.
    w.edtThickness->setText("25");
    w.edtTimeInterval->setText("180");
    RunAndWait(w);
    w.btnKeepRun->click();
    w.edtFrontFanFlow->setText("25");
    RunAndWait(w);
    shoot("evolution-compared.png");
    {
        const QRectF plot = w.Chart1->chart()->plotArea();
        w.Chart1->ShowHover(w.Chart1->mapFromScene(QPointF(plot.left() + plot.width() * 0.3, plot.center().y())));
        shoot("evolution-hover.png");
        w.Chart1->HideHover();
        QMenu* edit = w.MenuBar->actions()[1]->menu();
        edit->popup(w.MenuBar->mapToGlobal(w.MenuBar->actionGeometry(w.MenuBar->actions()[1]).bottomLeft()));
        QTest::qWait(300);
        w.screen()->grabWindow(0).save(dir + QStringLiteral("/menu-edit.png"));
        edit->hide();
        TComparisonDialog compared(w.RunsCompared(), &w);
        compared.show();
        if (QTest::qWaitForWindowExposed(&compared)) {
            QTest::qWait(300);
            compared.grab().save(dir + QStringLiteral("/compare-runs.png"));
        }
    }
    QToolTip::showText(w.ImgView321->mapToGlobal(QPoint(200, 20)), w.ImgView321->toolTip(), w.ImgView321);
    QTest::qWait(300);
    w.screen()->grabWindow(0).save(dir + QStringLiteral("/strip-key.png"));
    QToolTip::hideText();
    w.chkSurfaceMinusAir->setChecked(true);
    shoot("evolution-surface-minus-air.png");
    // The same runs in degF and inches (the settings of this program only).
    QTemporaryDir settings;
    w.SettingsFile = settings.filePath(QStringLiteral("settings.ini"));
    w.FahrenheitAction->trigger();
    w.InchAction->trigger();
    shoot("evolution-imperial.png");
    w.PageControl1->setCurrentIndex(0);
    shoot("profile-imperial.png");
    w.PageControl1->setCurrentIndex(2);
    shoot("conditions-imperial.png");
    w.PageControl1->setCurrentIndex(1);
    w.FahrenheitAction->trigger();
    w.InchAction->trigger();
    w.chkSurfaceMinusAir->setChecked(false);
    w.resize(1200, 780);
    shoot("evolution-enlarged.png");
    w.resize(855, 671 + w.MenuBar->height());
    w.InputsAction->trigger();
    shoot("evolution-inputs-hidden.png");
    w.InputsAction->trigger();

    // A real night from a weather service's hourly forecast, with dew point.
    const QString forecast = dir + QStringLiteral("/forecast.csv");
    {
        QFile f(forecast);
        f.open(QIODevice::WriteOnly);
        f.write(
            "latitude,longitude,elevation\n52.52,13.42,38.0\n\ntime,temperature_2m (\xC2\xB0"
            "C),"
            "dew_point_2m (\xC2\xB0"
            "C),sky (\xC2\xB0"
            "C)\n2026-12-08T17:00,7.4,4.1,-22\n"
            "2026-12-08T18:00,6.0,4.0,-24\n2026-12-08T19:00,4.6,3.8,-25\n2026-12-08T20:00,3.7,3.5,-26\n"
            "2026-12-08T21:00,3.2,3.1,-26\n2026-12-08T22:00,2.9,2.8,-27\n2026-12-08T23:00,2.7,2.6,-27\n"
            "2026-12-09T00:00,2.6,2.5,-27\n");
    }
    w.btnClearKept->click();
    w.edtFrontFanFlow->setText("10");
    w.edtFrontRadiation->setText(Dec(w, "0.9"));
    w.edtInitialMirrorTemp->setText("18");
    w.UseAirFile({forecast.toStdString(), "", "18:00", "", "", "", ""}, true);
    w.PageControl1->setCurrentIndex(1);
    RunAndWait(w);
    shoot("evolution-air-file.png");
    w.SaveChartImage(1, dir + QStringLiteral("/exported-chart.png"), QSize(1000, 560));
    w.SaveChartImage(1, dir + QStringLiteral("/exported-chart.svg"), QSize(1000, 560));
    QFile::remove(forecast);
    w.PageControl1->setCurrentIndex(0);
    shoot("profile-enlarged.png");

    // The observing conditions: a 250 mm mirror with a back fan under a clear sky.
    w.PageControl1->setCurrentIndex(ConditionsPage);
    w.FieldCombo(fFilms)->setCurrentText(QStringLiteral("conditions"));
    w.FieldEdit(fDiameter)->setText(QStringLiteral("250"));
    w.FieldEdit(fBackAirSpeed)->setText(Dec(w, "1.5"));
    w.FieldCombo(fSky)->setCurrentText(QStringLiteral("clear"));
    w.FieldEdit(fDewPoint)->setText(QStringLiteral("2"));
    shoot("conditions.png");
    w.edtThickness->setText("40");
    w.edtTimeInterval->setText("360");
    w.edtFrontRadiation->setText(Dec(w, "0.04"));
    w.chkMirrorSeeing->setChecked(true);
    w.PageControl1->setCurrentIndex(1);
    RunAndWait(w);
    shoot("evolution-conditions.png");
    w.chkMirrorSeeing->setChecked(false);
    w.FieldCombo(fFilms)->setCurrentText(QStringLiteral("typed"));
    w.FieldCombo(fSky)->setCurrentText(QStringLiteral("auto"));

    // Sweeps: one input as a line, two as a coloured grid.
    w.UseAirRamp();
    w.edtTimeInterval->setText("240");
    w.edtFrontRadiation->setText(Dec(w, "0.04"));
    TSweepDialog sweep([&] { return w.CurrentSource(); }, w.Regional.DecimalSeparator, &w);
    sweep.show();
    if (!QTest::qWaitForWindowExposed(&sweep))
        return 1;
    auto shootSweep = [&](const char* name) {
        sweep.RunSweep();
        (void)QTest::qWaitFor([&] { return !sweep.Running(); }, 60000);
        QTest::qWait(300);
        sweep.screen()->grabWindow(sweep.winId()).save(dir + QLatin1Char('/') + QLatin1String(name));
    };
    shootSweep("sweep-line.png");
    sweep.Key2->setCurrentIndex(sweep.Key2->findData(QStringLiteral("back-film")));
    sweep.Values2->setText(QStringLiteral("2,5,10,25"));
    shootSweep("sweep-grid.png");
    sweep.close();

    // A station's download in the air-file dialog: the rows as read and the notes.
    const QString station = dir + QStringLiteral("/wu.csv");
    {
        QFile f(station);
        f.open(QIODevice::WriteOnly);
        f.write("\nTime,TemperatureF,DewpointF,WindDirection,Humidity<br>\n"
                "2025-11-20 17:00:00,41.0,37.4,WSW,89,\n<br>\n2025-11-20 18:00:00,39.2,,W,90,\n<br>\n"
                "2025-11-20 19:00:00,37.4,33.8,W,91,\n<br>\n");
    }
    TAirFileDialog air(&w);
    air.Path->setText(station);
    air.ReadFile();
    air.show();
    if (!QTest::qWaitForWindowExposed(&air))
        return 1;
    QTest::qWait(300);
    air.screen()->grabWindow(air.winId()).save(dir + QStringLiteral("/air-file-dialog.png"));
    air.close();
    QFile::remove(station);
    TForecastDialog forecastDialog(&w);
    forecastDialog.Latitude->setText(Dec(w, "47.56"));
    forecastDialog.Longitude->setText(Dec(w, "7.58"));
    forecastDialog.show();
    if (!QTest::qWaitForWindowExposed(&forecastDialog))
        return 1;
    QTest::qWait(300);
    forecastDialog.screen()->grabWindow(forecastDialog.winId()).save(dir + QStringLiteral("/forecast-dialog.png"));
    forecastDialog.hide();

    // The live night: three hours of a logger's night replayed at once.
    const QString night = dir + QStringLiteral("/live-night.csv"), kept = dir + QStringLiteral("/live-kept.csv");
    QFile::remove(kept);
    {
        QFile file(night);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("time,mirror,back,outside\n");
        for (int m = 0; m <= 90; ++m) {
            const double air = 10 - m / 60.0;
            file.write(QStringLiteral("2026-12-09T%1:%2:00Z,%3,%4,%5\n")
                           .arg(18 + m / 60)
                           .arg(m % 60, 2, 10, QLatin1Char('0'))
                           .arg(air + 6 * std::exp(-m / 70.0) + 0.05 * std::sin(m * 1.7), 0, 'f', 3)
                           .arg(air + 7 * std::exp(-m / 90.0) + 0.05 * std::cos(m * 2.3), 0, 'f', 3)
                           .arg(air + 0.05 * std::sin(m * 0.9), 0, 'f', 3)
                           .toLatin1());
        }
    }
    w.edtTimeStep->setText(QStringLiteral("60"));
    w.ShowLiveNight();
    w.TabLive->Kind->setCurrentIndex(TLivePage::ReplayLog);
    w.TabLive->Source->setText(night);
    w.TabLive->Columns->setText(QStringLiteral("surface=mirror,back=back,air=outside"));
    w.TabLive->Rate->setText(QStringLiteral("0"));
    w.TabLive->LogPath->setText(kept);
    w.TabLive->Start->click();
    (void)QTest::qWaitFor([&] { return !w.TabLive->Running(); }, 60000);
    QTest::qWait(300);
    w.TabLive->screen()->grabWindow(w.TabLive->winId()).save(dir + QStringLiteral("/live-night.png"));
    QFile::remove(night);
    QFile::remove(kept);
    return 0;
}
