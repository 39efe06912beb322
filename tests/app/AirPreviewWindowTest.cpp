// The air-file dialog's preview, its time-column and date-order choices and
// its refusals in full; the forecast dialog against a loopback server.
#include "app/core/tables/Forecast.h"
#include "app/gui/AirFileDialog.h"
#include "app/gui/AirPreview.h"
#include "app/gui/AirSourceBar.h"
#include "app/gui/ForecastDialog.h"
#include "support/LocalClock.h"
#include "tests/app/LoopbackServer.h"
#include "tests/app/WindowFixtures.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <fstream>

using namespace brennic;

namespace {

QString Cell(const QTableWidget* t, int row, int column)
{
    return t->item(row, column) ? t->item(row, column)->text() : QString();
}

}  // namespace

TEST(AirPreviewWindow, ShowsTheRowsAsReadInCelsiusWithTheNotes)
{
    QTemporaryDir dir;
    // Weather Underground in °F: 41 °F is 5 °C; the wind direction is text.
    const QString path = Write(dir, "wu.csv",
                               "\nTime,TemperatureF,DewpointF,WindDirection<br>\n2025-11-20 17:00:00,41.0,37.4,WSW,\n"
                               "<br>\n2025-11-20 18:00:00,39.2,,W,\n<br>\n");
    TAirFileDialog d;
    d.Path->setText(path);
    d.ReadFile();
    ASSERT_TRUE(d.Buttons->button(QDialogButtonBox::Ok)->isEnabled()) << d.Info->text().toStdString();
    const QTableWidget* rows = d.Preview->Rows;
    ASSERT_EQ(rows->rowCount(), 2);
    EXPECT_EQ(Cell(rows, 0, 0), "2025-11-20 17:00");
    EXPECT_EQ(Cell(rows, 0, 1), QLocale().toString(5.0, 'f', 1));
    EXPECT_EQ(Cell(rows, 0, 2), QLocale().toString(3.0, 'f', 1));
    EXPECT_EQ(Cell(rows, 1, 2), "\u2013");  // no dew point in that row
    EXPECT_EQ(Cell(rows, 0, 3), "\u2013");  // no sky column
    EXPECT_TRUE(d.Preview->Notes->text().contains("converted from \u00b0F")) << d.Preview->Notes->text().toStdString();
    EXPECT_TRUE(d.Preview->Notes->text().contains("1 row without a value skipped"));
}

TEST(AirPreviewWindow, TimeColumnAndDateOrderAreChosenInTheDialog)
{
    QTemporaryDir dir;
    const QString path = Write(dir, "log.csv", "n,logged,temp\n1,05/11/2025 17:00,5.3\n2,05/11/2025 18:00,4.3\n");
    TAirFileDialog d;
    d.Path->setText(path);
    d.DateOrder->setCurrentIndex(d.DateOrder->findData(QStringLiteral("mdy")));
    d.ReadFile();
    EXPECT_EQ(Cell(d.Preview->Rows, 0, 0), "2025-05-11 17:00");
    d.DateOrder->setCurrentIndex(d.DateOrder->findData(QStringLiteral("dmy")));
    d.ReadFile();
    EXPECT_EQ(Cell(d.Preview->Rows, 0, 0), "2025-11-05 17:00");
    EXPECT_EQ(d.Choice().DateOrder, "dmy");
    // The record number as the time: minutes 1 and 2.
    d.TimeColumn->setCurrentIndex(d.TimeColumn->findText(QStringLiteral("n")));
    d.ReadFile();
    EXPECT_EQ(d.Choice().TimeColumn, "n");
    EXPECT_FALSE(d.Start->isEnabled());
    EXPECT_EQ(d.Preview->Rows->rowCount(), 2);
}

TEST(AirPreviewWindow, RefusalsAreShownWhole)
{
    QTemporaryDir dir;
    const std::string longName(70, 'x');
    const QString path = Write(dir, "bad.csv", "time," + longName + "\n2025-11-20 17:00,1\n2025-11-20 18:00,hot\n");
    TAirFileDialog d;
    d.Path->setText(path);
    d.ReadFile();
    const QString expected = path + ", line 3: column \"" + QString::fromStdString(longName) + "\" has 'hot', which is not a number";
    EXPECT_TRUE(d.Info->text().contains(expected.toHtmlEscaped())) << d.Info->text().toStdString();
    EXPECT_TRUE(d.Info->wordWrap());
    EXPECT_FALSE(d.Buttons->button(QDialogButtonBox::Ok)->isEnabled());
    // A start after the file ends: refused with the file's times.
    const QString good = Write(dir, "good.csv", "time,temp\n2025-11-20 17:00,1\n2025-11-20 18:00,2\n");
    d.Path->setText(good);
    d.ReadFile();
    d.Start->setText(QStringLiteral("2025-11-21T18:00"));
    emit d.Start->editingFinished();
    EXPECT_TRUE(d.Info->text().contains("lies outside the file's times, 2025-11-20 17:00 to 2025-11-20 18:00"))
        << d.Info->text().toStdString();
}

TEST(AirPreviewWindow, ForecastFetchedOnTheWorkerAndPreviewed)
{
    const double today = std::floor(UtcNow() / 86400) * 86400;
    std::string body = "latitude,longitude,elevation,utc_offset_seconds,timezone,timezone_abbreviation\n"
                       "47.56,7.58,279.0,0,GMT,GMT\n\ntime,temperature_2m (\u00b0C),dew_point_2m (\u00b0C)\n";
    for (int h = 0; h < 48; ++h)
        body += DateTimeText(today + h * 3600).replace(10, 1, "T") + "," + std::to_string(10 - h / 4) + ",1\n";
    brennic::test::TLoopbackServer server([&](const std::string& line) {
        return line.find("latitude=91") != std::string::npos
                   ? brennic::test::TReply{brennic::test::TReply::Send, 400, "{\"error\":true,\"reason\":\"bad latitude\"}"}
                   : brennic::test::TReply{brennic::test::TReply::Send, 200, body};
    });
    QTemporaryDir cache;
    ::setenv("XDG_CACHE_HOME", cache.path().toLocal8Bit().constData(), 1);
    ::setenv(ForecastServerVariable, server.Url().c_str(), 1);
    {
        TForecastDialog d;
        d.Latitude->clear();
        d.Longitude->clear();
        d.StartFetch();
        EXPECT_TRUE(d.Info->text().contains("Enter your latitude and longitude")) << d.Info->text().toStdString();
        d.Latitude->setText(QStringLiteral("91"));
        d.Longitude->setText(QStringLiteral("7,58"));
        d.StartFetch();  // refused before any request
        EXPECT_TRUE(d.Info->text().contains("outside -90 to 90")) << d.Info->text().toStdString();
        EXPECT_TRUE(server.Requests().empty());
        d.Latitude->setText(QStringLiteral("47,56"));
        d.StartFetch();
        EXPECT_FALSE(d.Fetch->isEnabled());
        ASSERT_TRUE(QTest::qWaitFor([&] { return d.Buttons->button(QDialogButtonBox::Ok)->isEnabled(); }, 10000))
            << d.Info->text().toStdString();
        EXPECT_TRUE(d.Fetch->isEnabled());
        EXPECT_EQ(d.Source()->Air.At(0), 10 - std::floor(std::ceil(std::fmod(UtcNow(), 86400) / 3600) / 4));
        EXPECT_EQ(d.Choice().Path.rfind(cache.path().toStdString() + "/brennic/forecasts/forecast_47.5600N_7.5800E_", 0),
                  0u);
        EXPECT_GT(d.Preview->Rows->rowCount(), 0);
    }
    {
        TForecastDialog remembered;  // the place is remembered
        EXPECT_EQ(remembered.Latitude->text(), "47,56");
        EXPECT_EQ(remembered.Longitude->text(), "7,58");
    }
    ::unsetenv(ForecastServerVariable);
    ::unsetenv("XDG_CACHE_HOME");
}
