// A few thousand random user actions on the real window, during and between
// runs, with a fixed seed: the window must survive them, and the results of
// the last run must export byte for byte as that run left them.
#include "app/gui/ErrorReport.h"
#include "app/gui/MainOrvalis.h"
#include "tests/app/WindowFixtures.h"
#include "app/gui/StripView.h"
#include "support/EnhStringList.h"
#include "support/FileOutput.h"
#include "support/LibPlatform.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

using namespace brennic;

namespace {

class TMonkey {
public:
    TMonkey(TFrmBrennic& w, unsigned seed, int events) : w_(w), random_(seed), left_(events) {}

    // One random action. Runs started here process events, during which the
    // second timer goes on acting.
    void Act()
    {
        if (left_ <= 0)
            return;
        --left_;
        if (!w_.isVisible())
            w_.show();  // a close request that took effect
        const int kind = Pick(14);
        switch (kind) {
        case 0: Click(w_.btnRun, Qt::LeftButton); break;
        case 1: Click(w_.btnCancel, Qt::LeftButton); break;
        case 2: w_.PageControl1->tabBar()->setCurrentIndex(Pick(2)); break;
        case 3: ChartGesture(Pick(2) ? static_cast<QChartView*>(w_.Chart1) : w_.Chart4); break;
        case 4: Key(); break;
        case 5: Click(Field(), Pick(2) ? Qt::LeftButton : Qt::RightButton); break;
        case 6: Wheel(); break;
        case 7: w_.close(); break;
        case 8: Click(w_.btnExportCSV, Qt::LeftButton); break;
        case 9: Click(w_.StatusBar1, Qt::LeftButton); break;
        case 10: Click(w_.ImgView321, Pick(2) ? Qt::LeftButton : Qt::RightButton); break;
        case 11:
        case 12: Retype(); break;
        default: QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w_, Qt::Key_F1); break;
        }
    }

    bool Done() const { return left_ <= 0; }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    QPoint Somewhere(QWidget* target)
    {
        return {Pick(std::max(1, target->width())), Pick(std::max(1, target->height()))};
    }

    void Click(QWidget* target, Qt::MouseButton button)
    {
        if (target->isVisible())
            QTest::mouseClick(target, button, {}, Somewhere(target));
    }

    QWidget* Field()
    {
        QLineEdit* fields[] = {w_.edtThickness,    w_.edtElementCount,   w_.edtInitialMirrorTemp, w_.edtInitialAirTemp,
                               w_.edtFinalAirTemp, w_.edtTimeInterval,   w_.edtTimeStep,          w_.edtFrontFanFlow,
                               w_.edtBackFanFlow,  w_.edtFrontRadiation, w_.edtBackRadiation};
        return fields[Pick(int(std::size(fields)))];
    }

    void ChartGesture(QChartView* chart)
    {
        if (!chart->isVisible())
            return;
        QWidget* port = chart->viewport();
        const QPoint a = Somewhere(port), b = Somewhere(port);
        switch (Pick(4)) {
        case 0:
            QTest::mousePress(port, Qt::LeftButton, {}, a);
            QTest::mouseMove(port, b);
            QTest::mouseRelease(port, Qt::LeftButton, {}, b);
            break;
        case 1: QTest::mouseClick(port, Qt::RightButton, {}, a); break;
        case 2: QTest::mouseDClick(port, Qt::LeftButton, {}, a); break;
        default: QTest::mouseClick(port, Qt::LeftButton, {}, a); break;
        }
    }

    // A user putting a field right again: select all, type a valid value of
    // a short run.
    void Retype()
    {
        struct Entry {
            QLineEdit* field;
            const char* text;
        };
        const Entry entries[] = {
            {w_.edtThickness, "25.4"},      {w_.edtElementCount, "20"}, {w_.edtInitialMirrorTemp, "18"},
            {w_.edtInitialAirTemp, "9"},    {w_.edtFinalAirTemp, "4"},  {w_.edtTimeInterval, "10"},
            {w_.edtTimeStep, "10"},         {w_.edtFrontFanFlow, "25"}, {w_.edtBackFanFlow, "8"},
            {w_.edtFrontRadiation, "0.04"}, {w_.edtBackRadiation, "0"}};
        const Entry& e = entries[Pick(int(std::size(entries)))];
        e.field->setFocus();
        QTest::keyClick(e.field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(e.field, QString::fromLatin1(e.text));
    }

    // Keys that can only shorten or spoil the numbers, never make a run huge.
    void Key()
    {
        static const Qt::Key keys[] = {Qt::Key_Tab,    Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left,
                                       Qt::Key_Right,  Qt::Key_A,         Qt::Key_Minus,  Qt::Key_Period,
                                       Qt::Key_Escape, Qt::Key_Return,    Qt::Key_Space,  Qt::Key_F1,
                                       Qt::Key_Up,     Qt::Key_Down,      Qt::Key_Home,   Qt::Key_End};
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &w_;
        QTest::keyClick(target, keys[Pick(int(std::size(keys)))]);
    }

    void Wheel()
    {
        QWidget* targets[] = {w_.Chart1->viewport(), w_.Chart4->viewport(), w_.PageControl1, Field()};
        QWidget* t = targets[Pick(4)];
        if (!t->isVisible())
            return;
        const QPointF at(Somewhere(t));
        QWheelEvent wheel(at, t->mapToGlobal(at), QPoint(), QPoint(0, Pick(2) ? 120 : -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(t, &wheel);
    }

    TFrmBrennic& w_;
    std::mt19937 random_;
    int left_;
};

}  // namespace

TEST(Monkey, RandomActionsNeverBreakTheWindowNorItsResults)
{
    QStringList errors;
    SetErrorReportHook([&](const QString& text) { errors << text; });
    int helpOpened = 0;
    SetShellOps({[&](const QString&, const QString&, const QString&, std::function<void()>) {
                     ++helpOpened;
                     return true;
                 },
                 [](const QString&, std::function<void()>) { return true; }});
    QTemporaryDir dir;
    int exports = 0;

    {
        TFrmBrennic w;
        // Short runs, so that many of them start, end and are cancelled.
        w.edtTimeInterval->setText("10");
        w.edtElementCount->setText("20");
        w.FileNameProvider = [&]() -> std::optional<QString> {
            return dir.filePath(QStringLiteral("monkey-%1.csv").arg(exports++ % 3));
        };
        std::u16string lastRun;
        int runs = 0;
        QObject::connect(&w, &TFrmBrennic::RunFinished, [&] {
            lastRun = w.ResultLines->GetTextStr();
            ++runs;
        });
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

        TMonkey monkey(w, 20261208u, 3000);
        QTimer between, during;
        QObject::connect(&between, &QTimer::timeout, [&] { monkey.Act(); });
        QObject::connect(&during, &QTimer::timeout, [&] { monkey.Act(); });
        between.start(0);
        during.start(1);
        while (!monkey.Done() || w.Running()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        between.stop();
        during.stop();
        QCoreApplication::processEvents();

        EXPECT_GT(runs, 5) << "the monkey should have run the model several times: "
                           << errors.mid(0, 5).join("|").toStdString();
        EXPECT_GT(helpOpened, 0);
        std::printf("monkey: %d runs, %d help openings, %d exports, %lld refusals\n", runs, helpOpened, exports,
                    (long long)errors.size());
        for (const QString& e : errors)
            EXPECT_TRUE(e.startsWith("\"") || e.contains("is not a valid")) << e.toStdString();

        // The last run's results are exactly as it left them, and export so.
        if (!w.isVisible())
            w.show();
        ASSERT_GT(runs, 0);
        EXPECT_EQ(w.ResultLines->GetTextStr(), lastRun);
        ASSERT_TRUE(w.btnExportCSV->isEnabled());
        const QString path = dir.filePath(QStringLiteral("final.csv"));
        w.FileNameProvider = [&] { return std::optional<QString>(path); };
        errors.clear();
        w.btnExportCSV->click();
        EXPECT_TRUE(errors.isEmpty()) << errors.join("|").toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll().toStdString(), EncodeSystem8Bit(lastRun));

        // And the window still runs the model from its defaults.
        w.edtThickness->setText("50.8");
        w.edtElementCount->setText("50");
        w.edtInitialMirrorTemp->setText("20");
        w.edtInitialAirTemp->setText("10");
        w.edtFinalAirTemp->setText("10");
        w.edtTimeInterval->setText("120");
        w.edtTimeStep->setText("10");
        w.edtFrontFanFlow->setText("10");
        w.edtBackFanFlow->setText("10");
        w.edtFrontRadiation->setText("0.04");
        w.edtBackRadiation->setText("0");
        RunAndWait(w);
        EXPECT_EQ(w.ResultLines->Count(), 722);
        EXPECT_EQ(w.ResultLines->Get(1), u"0,10,20,20,20");
    }
    SetErrorReportHook({});
    SetShellOps(DesktopShellOps());
}
