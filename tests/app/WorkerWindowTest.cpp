// The window while its worker runs: inputs locked, events handled, reports
// taken per frame, cancel and close; runs whose period is not a whole
// number of steps.
#include "app/gui/MainOrvalis.h"
#include "app/gui/StripView.h"
#include "app/gui/SweepDialog.h"
#include "support/LibPlatform.h"
#include "app/gui/StatusBar.h"
#include "tests/app/WindowFixtures.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QComboBox>
#include <QValueAxis>

#include <cmath>
#include <QGroupBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

using namespace brennic;

namespace {

// 48 hours in 1 s steps through 2000 elements: long enough to act during it.
void MakeLong(TFrmBrennic& w)
{
    w.edtTimeInterval->setText("2880");
    w.edtTimeStep->setText("1");
    w.edtElementCount->setText("2000");
}

void WaitForRows(TFrmBrennic& w, int rows)
{
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.ResultLines->Count() > rows; }, 60000));
}

}  // namespace

TEST(WorkerWindow, LongRunLeavesTheWindowLiveAndItsInputsLocked)
{
    ShellCapture shell;
    Window f;
    TFrmBrennic& w = f.w;
    MakeLong(w);
    w.btnRun->click();
    ASSERT_TRUE(w.Running());
    // What would change the run's inputs or files is locked; the rest is live.
    for (QWidget* locked : std::initializer_list<QWidget*>{w.grpMirror, w.grpHeatTransfer, w.grpSimulation, w.AirBar,
                                                           w.btnMeasured, w.btnFit, w.btnFile, w.btnSweep, w.btnRun,
                                                           w.btnExportCSV, w.btnKeepRun})
        EXPECT_FALSE(locked->isEnabled()) << locked->objectName().toStdString();
    EXPECT_FALSE(w.edtThickness->isEnabled());
    for (QWidget* live : std::initializer_list<QWidget*>{w.btnCancel, w.btnHelp, w.PageControl1})
        EXPECT_TRUE(live->isEnabled()) << live->objectName().toStdString();

    // Timers fire and pages turn while it runs; reports arrive frame by frame.
    int fired = 0;
    QTimer::singleShot(5, [&] { ++fired; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired == 1; }, 10000));
    EXPECT_TRUE(w.Running());
    WaitForRows(w, 100);
    w.PageControl1->setCurrentIndex(EvolutionPage);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.LineSeries1->count() > 0; }, 10000));
    EXPECT_TRUE(w.TabSheet3->isVisible());
    QTest::keyClick(w.btnCancel, Qt::Key_F1);  // help during the run
    EXPECT_EQ(shell.opened.size(), 1);
    EXPECT_TRUE(w.Running());
    // The bar with the time left, once the pace is known.
    QProgressBar* bar = w.StatusBar1->Progress();
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->isVisible() && bar->format().contains(" left"); }, 20000))
        << bar->format().toStdString();
    EXPECT_GT(bar->value(), 0);

    w.btnCancel->click();
    WaitForRun(w);
    const int rows = w.ResultLines->Count() - 1;
    EXPECT_LT(rows, 172801);
    // Rows, curves, profile, title and strip all end at the last report.
    const double lastTime = rows - 1;
    EXPECT_EQ(int(w.Curve(w.Series2).Points().size()), rows);
    EXPECT_EQ(w.Curve(w.LineSeries1).Points().back().x, lastTime / 60);
    EXPECT_EQ(w.Chart4->chart()->title(), QString("Temperature Profile - Time %1 sec").arg(lastTime, 0, 'g', 15));
    EXPECT_EQ(w.Record.Readiness.Reports(), std::size_t(rows));
    for (int c : {0, rows - 1}) EXPECT_NE(w.StripMap->Value(c, 1000), 0) << c;
    for (int c : {rows, rows + 1, 172800}) EXPECT_EQ(w.StripMap->Value(c, 1000), 0) << c;
    // Everything comes back.
    for (QWidget* back : std::initializer_list<QWidget*>{w.grpMirror, w.AirBar, w.btnMeasured, w.btnFile, w.btnSweep,
                                                         w.btnRun, w.btnExportCSV})
        EXPECT_TRUE(back->isEnabled()) << back->objectName().toStdString();
    EXPECT_FALSE(w.btnCancel->isEnabled());
    EXPECT_FALSE(w.btnFit->isEnabled());  // no log loaded
    EXPECT_FALSE(bar->isVisible());
}

TEST(WorkerWindow, ClosingDuringARunCancelsItAndCloses)
{
    Window f;
    TFrmBrennic& w = f.w;
    MakeLong(w);
    w.btnRun->click();
    WaitForRows(w, 10);
    w.close();
    EXPECT_TRUE(w.CloseRequested());
    WaitForRun(w);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 10000));
    EXPECT_LT(w.ResultLines->Count(), 172802);
}

TEST(WorkerWindow, DestroyingTheWindowDuringARunStopsTheWorker)
{
    auto w = std::make_unique<TFrmBrennic>();
    MakeLong(*w);
    w->btnRun->click();
    ASSERT_TRUE(w->Running());
    w.reset();  // joins the worker; nothing is left to call back
    QTest::qWait(20);
}

TEST(WorkerWindow, ErrorWhileShowingARunIsReportedOnceAndRestoresTheButtons)
{
    ErrorCapture errors;
    Window f;
    TFrmBrennic& w = f.w;
    w.ResultLines->OnChange = [&] {
        if (w.ResultLines->Count() == 30)
            throw std::runtime_error("display failed");
    };
    RunAndWait(w);
    w.ResultLines->OnChange = nullptr;
    EXPECT_EQ(errors.messages, QStringList({"display failed."}));
    EXPECT_TRUE(w.btnRun->isEnabled());
    EXPECT_FALSE(w.btnCancel->isEnabled());
    EXPECT_TRUE(w.btnExportCSV->isEnabled());  // the rows so far can be exported
    EXPECT_TRUE(w.grpMirror->isEnabled());
    EXPECT_EQ(ErrorReportText("Stream write error"), "Stream write error.");
    EXPECT_EQ(ErrorReportText("(see above)"), "(see above)");
}

TEST(WorkerWindow, PeriodNotAWholeNumberOfStepsAgreesEverywhere)
{
    struct Case {
        const char* name;
        const char* minutes;
        const char* step;
        int reports;
    };
    // 60 s in 25 s steps: reports at 0, 25, 50 and 75 s; 0.5 min in 0.1 s:
    // the clock's repeated additions decide.
    const Case cases[] = {{"25 s into a minute", "1", "25", 4}, {"7 s into 10 min", "10", "7", 87}};
    for (const Case& c : cases) {
        Window f;
        TFrmBrennic& w = f.w;
        w.edtTimeInterval->setText(c.minutes);
        w.edtTimeStep->setText(c.step);
        RunAndWait(w);
        EXPECT_EQ(w.StripMap->Width(), c.reports) << c.name;
        EXPECT_EQ(w.ResultLines->Count(), c.reports + 1) << c.name;
        EXPECT_EQ(w.Record.Readiness.Reports(), std::size_t(c.reports)) << c.name;
        EXPECT_EQ(w.Record.Plan.StripWidth, c.reports) << c.name;
        for (int col = 0; col < c.reports; ++col) EXPECT_NE(w.StripMap->Value(col, 0), 0) << c.name << " " << col;
    }
}

TEST(WorkerWindow, SweepDialogRunsOnTheWorkerAndMatchesSingleRuns)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.edtTimeInterval->setText("240");
    TSweepDialog dialog([&] { return w.CurrentSource(); }, u'.', &w);
    dialog.Key1->setCurrentIndex(dialog.Key1->findData(QStringLiteral("thickness")));
    dialog.Values1->setText("20:40:10");
    dialog.Key2->setCurrentIndex(dialog.Key2->findData(QStringLiteral("front-film")));
    dialog.Values2->setText("5,20");
    dialog.RunSweep();
    EXPECT_TRUE(dialog.Running() || dialog.Copy->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Running(); }, 60000));
    ASSERT_EQ(dialog.Table->rowCount(), 3);
    ASSERT_EQ(dialog.Table->columnCount(), 2);
    EXPECT_TRUE(dialog.Status->text().contains("Rows: Mirror Thickness (mm); columns: Front Film Coefficient (W/m\u00b2K)"))
        << dialog.Status->text().toStdString();
    EXPECT_FALSE(dialog.Chart->isVisible());
    // Each cell is the ready time of a single run of the same inputs.
    w.edtThickness->setText("30");
    w.edtFrontFanFlow->setText("20");
    RunAndWait(w);
    const auto ready = w.Record.Readiness.ReadyFrom(TReadiness::Surface, 0);
    ASSERT_TRUE(ready.has_value());
    EXPECT_EQ(dialog.Table->item(1, 1)->text().toStdString(), FixedText(*ready / 60, 1, u'.'));
    EXPECT_EQ(dialog.ReadyMinutes(3), *ready / 60);
    EXPECT_NE(dialog.TableText().find("30,20,"), std::string::npos);

    // A refused value is named in the dialog, checked on the worker, and no
    // case runs: the last table is gone, not shown as this sweep's.
    dialog.Values1->setText("20,-5");
    dialog.RunSweep();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Running(); }, 60000));
    EXPECT_TRUE(dialog.Status->text().contains("thickness=-5")) << dialog.Status->text().toStdString();
    EXPECT_EQ(dialog.TableText(), "");
    EXPECT_FALSE(dialog.Copy->isEnabled());
    // A large sweep is checked on the worker, where Cancel reaches it.
    dialog.Key2->setCurrentIndex(0);
    dialog.Values1->setText("10:1009.99:0.01");
    dialog.RunSweep();
    EXPECT_TRUE(dialog.Running());
    EXPECT_TRUE(dialog.Status->text().startsWith("Checking 100000 cases")) << dialog.Status->text().toStdString();
    dialog.Cancel->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Running(); }, 60000));
    EXPECT_EQ(dialog.Status->text(), "The sweep was cancelled.");
    // A text that is no list at all is refused at once.
    dialog.Values1->setText("20,,30");
    dialog.RunSweep();
    EXPECT_FALSE(dialog.Running());
    EXPECT_TRUE(dialog.Status->text().contains("empty value")) << dialog.Status->text().toStdString();

    // A choice is swept by its names and drawn by them, as the material is.
    dialog.Key1->setCurrentIndex(dialog.Key1->findData(QStringLiteral("films")));
    dialog.Values1->setText("typed,conditions");
    dialog.RunSweep();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Running(); }, 60000));
    EXPECT_TRUE(dialog.Status->text().isEmpty() || !dialog.Status->text().contains("not a valid"))
        << dialog.Status->text().toStdString();
    ASSERT_EQ(dialog.Table->rowCount(), 2);
    EXPECT_EQ(dialog.Table->item(1, 0)->text(), "conditions");
}

TEST(WorkerWindow, MirrorSeeingCurveOnItsOwnAxis)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.PageControl1->setCurrentIndex(EvolutionPage);
    RunAndWait(w);
    EXPECT_FALSE(w.TabSheet3->MirrorSeeing->isVisible());
    w.chkMirrorSeeing->setChecked(true);
    ASSERT_TRUE(w.TabSheet3->MirrorSeeing->isVisible());
    const auto& points = w.Curve(w.TabSheet3->MirrorSeeing).Points();
    ASSERT_EQ(points.size(), 721u);
    // 20 degC into 10 degC air: 0.40 x 10^1.2 arc-seconds at the start.
    EXPECT_NEAR(points.front().y, 0.4 * std::pow(10.0, 1.2), 1e-12);
    const auto* axis = qobject_cast<QValueAxis*>(w.TabSheet3->MirrorSeeing->attachedAxes().back());
    for (const TPoint& p : points) EXPECT_LE(p.y, axis->max());
    w.chkMirrorSeeing->setChecked(false);
    EXPECT_FALSE(w.TabSheet3->MirrorSeeing->isVisible());
}
