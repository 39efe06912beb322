// The live night in the window: a replayed log drawn as it comes, the
// predicted night with its band, and a followed file that goes and comes back.
#include "app/gui/LivePage.h"
#include "tests/TempFolder.h"
#include "app/gui/ErrorReport.h"
#include "tests/app/WindowFixtures.h"

#include <QAction>
#include "tests/live/Servers.h"

#include <QAreaSeries>
#include <QChart>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScatterSeries>
#include <QTabWidget>
#include <QTimer>

#include <cmath>
#include <fstream>

using namespace brennic;

namespace {

std::string Night(int minutes)
{
    std::string text = "time,mirror,back,outside\n";
    for (int m = 0; m <= minutes; ++m) {
        const double air = 10 - m / 60.0;
        text += "2026-12-09T" + std::to_string(18 + m / 60) + ":" + (m % 60 < 10 ? "0" : "") + std::to_string(m % 60) +
                ":00Z," + std::to_string(air + 6 * std::exp(-m / 70.0)) + "," + std::to_string(air + 7 * std::exp(-m / 90.0)) +
                "," + std::to_string(air) + "\n";
    }
    return text;
}

QScatterSeries* Series(QChartView* chart, const QString& name)
{
    for (QAbstractSeries* s : chart->chart()->series())
        if (s->name() == name)
            return qobject_cast<QScatterSeries*>(s);
    return nullptr;
}

}  // namespace

TEST(LiveWindow, AReplayedNightIsDrawnAndPredictedWhileTheWindowStaysLive)
{
    test::TTempFolder folder;
    Window f;
    TFrmBrennic& w = f.w;
    w.edtTimeStep->setText("60");  // the window's inputs are the night's
    TLivePage* live = w.ShowLiveNight();
    EXPECT_TRUE(live->isWindow());
    EXPECT_EQ(w.ShowLiveNight(), live) << "one live window";
    live->Kind->setCurrentIndex(TLivePage::ReplayLog);
    live->Source->setText(QString::fromStdString(folder.Write("night.csv", Night(120))));
    live->Columns->setText("surface=mirror,back=back,air=outside");
    live->Rate->setText("0");
    live->LogPath->setText(QString::fromStdString((folder.path / "kept.csv").string()));
    live->Start->click();
    EXPECT_FALSE(live->Start->isEnabled());
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !live->Running(); }, 30000)) << "a replay at once ends by itself";
    EXPECT_GT(ticks, 3) << "the window's timers ran during the night";
    EXPECT_TRUE(live->Start->isEnabled());
    const QString headline = live->Headline->text();
    EXPECT_TRUE(headline.startsWith("Ready (surface \u2264 0.5 \u00b0C above the air) at ")) << headline.toStdString();
    EXPECT_TRUE(headline.endsWith(", from 120 min of your mirror's data")) << headline.toStdString();
    EXPECT_EQ(Series(live->Chart, "Surface (measured)")->count(), 121);
    const auto* band = qobject_cast<QAreaSeries*>(live->Chart->chart()->series().first());
    ASSERT_TRUE(band);
    EXPECT_GT(band->upperSeries()->count(), 0) << "the 90 % band ahead of the data";
    EXPECT_TRUE(live->Notes->toPlainText().contains("kept.csv")) << live->Notes->toPlainText().toStdString();
    // In degF the night is drawn again: the same points, converted once.
    const QPointF first = Series(live->Chart, "Surface (measured)")->at(0);
    QTemporaryDir settings;
    w.SettingsFile = settings.filePath(QStringLiteral("settings.ini"));
    w.FahrenheitAction->trigger();
    EXPECT_DOUBLE_EQ(Series(live->Chart, "Surface (measured)")->at(0).y(), first.y() * 1.8 + 32);
    EXPECT_TRUE(live->Headline->text().startsWith("Ready (surface \u2264 0.9 \u00b0F above the air) at "))
        << live->Headline->text().toStdString();
}

TEST(LiveWindow, ALostFileIsSaidInTheHeadlineAndTheNightGoesOnWhenItIsBack)
{
    ErrorCapture errors;
    test::TTempFolder folder;
    Window f;
    TLivePage* live = f.w.ShowLiveNight();
    const std::string path = folder.Write("logger.csv", Night(3));
    live->Kind->setCurrentIndex(TLivePage::FollowFile);
    live->Source->setText(QString::fromStdString(path));
    live->Columns->setText("surface=mirror,back=back,air=outside");
    live->LogPath->setText(QString::fromStdString((folder.path / "kept.csv").string()));
    live->Start->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->Headline->text().startsWith("Ready") ||
                                             live->Headline->text().startsWith("Not ready"); }, 10000))
        << live->Headline->text().toStdString();
    std::filesystem::remove(path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->Headline->text().startsWith("Waiting for the source"); }, 5000))
        << live->Headline->text().toStdString();
    std::ofstream(path) << Night(5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !live->Headline->text().startsWith("Waiting"); }, 5000));
    live->Stop->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !live->Running(); }, 5000));
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join("|").toStdString();
    // A start that cannot be made is refused naming the field.
    live->Source->clear();
    live->Start->click();
    ASSERT_EQ(errors.messages.size(), 1);
    EXPECT_TRUE(errors.messages[0].startsWith("\"Readings from\" is empty")) << errors.messages[0].toStdString();
    EXPECT_FALSE(live->Running());
}

TEST(LiveWindow, TheServersKindsReadTheirFieldsAndANightFromABrokerAndAnIndiServer)
{
    test::TTempFolder folder;
    test::TBroker broker(folder);
    test::TIndiServerProcess indi;
    indi.Temperature(2.5);
    Window f;
    TLivePage* live = f.w.ShowLiveNight();
    live->Kind->setCurrentIndex(TLivePage::AlpacaDevice);
    EXPECT_EQ(live->RateLabel->text(), "Poll every:");
    EXPECT_FALSE(live->Columns->isEnabled()) << "an Alpaca device names its own values";
    live->Source->setText("http://127.0.0.1:1/0");
    live->Rate->setText("0,5");
    EXPECT_THROW(live->StartNight(), EBrennicError) << "a poll faster than a second";
    EXPECT_FALSE(live->Running());
    live->Kind->setCurrentIndex(TLivePage::MqttBroker);
    EXPECT_EQ(live->ColumnsLabel->text(), "Topics:");
    // Refusals name the page's fields, not the command line's options.
    struct Refused {
        int Kind;
        const char *Source, *Columns, *Said;
    };
    for (const Refused& r : {Refused{TLivePage::MqttBroker, "mqtt://127.0.0.1:99999", "air=a",
                                     "\"Readings from\": 99999 is not a port"},
                             Refused{TLivePage::MqttBroker, "mqtt://127.0.0.1:1883", "air=a; warm",
                                     "\"Topics\": warm is not ROLE=TOPIC"},
                             Refused{TLivePage::IndiServer, "localhost:7624", "mirror=Focuser.T.T",
                                     "\"Properties\": mirror=Focuser.T.T is not ROLE=DEVICE.PROPERTY.ELEMENT"}}) {
        live->Kind->setCurrentIndex(r.Kind);
        live->Source->setText(QString::fromLatin1(r.Source));
        live->Columns->setText(QString::fromLatin1(r.Columns));
        try {
            live->StartNight();
            ADD_FAILURE() << r.Said << ": not refused";
        } catch (const EBrennicError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(r.Said, 0), 0u) << e.what();
            EXPECT_EQ(std::string(e.what()).find("--"), std::string::npos) << e.what();
        }
        EXPECT_FALSE(live->Running());
    }
    live->Kind->setCurrentIndex(TLivePage::MqttBroker);
    live->Source->setText(QString::fromStdString(broker.Url()));
    live->Columns->setText("surface=scope/mirror; back=scope/back; air=obs/air");
    live->LogPath->setText(QString::fromStdString((folder.path / "kept.csv").string()));
    live->StartNight();
    ASSERT_TRUE(live->Running());
    for (int i = 0; i < 60 && !live->Headline->text().contains("from "); ++i) {
        broker.Publish("obs/air", std::to_string(8 - 0.01 * i));
        broker.Publish("scope/mirror", std::to_string(12 - 0.05 * i));
        broker.Publish("scope/back", std::to_string(13 - 0.04 * i));
        QTest::qWait(200);
    }
    EXPECT_TRUE(live->Headline->text().contains("from ")) << live->Headline->text().toStdString();
    EXPECT_GT(Series(live->Chart, "Surface (measured)")->count(), 1);
    live->StopNight();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !live->Running(); }, 5000));

    live->Kind->setCurrentIndex(TLivePage::IndiServer);
    live->Source->setText(QString::fromStdString(indi.Address()));
    live->Columns->setText("surface=Focuser.FOCUS_TEMPERATURE.TEMPERATURE");
    live->LogPath->setText(QString::fromStdString((folder.path / "kept-indi.csv").string()));
    QString reported;
    SetErrorReportHook([&](const QString& text) { reported = text; });
    live->StartNight();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !live->Running(); }, 10000)) << "a property the server lacks ends the night";
    SetErrorReportHook({});
    EXPECT_TRUE(reported.contains("the server has no Focuser.FOCUS_TEMPERATURE; its number properties: "))
        << reported.toStdString();
}
