// The window answers first: the headline, the readout beside the chart, the
// runs told apart, clock times, and the fixes of what stood in the way.
#include "app/core/files/Scenario.h"
#include "app/core/run/Headline.h"
#include "app/gui/ClockAxis.h"
#include "app/gui/EvolutionPage.h"
#include "app/gui/HelpViewer.h"
#include "app/gui/ProfilePage.h"
#include "app/gui/ReadoutPanel.h"
#include "app/gui/StatusBar.h"
#include "app/gui/StripView.h"
#include "app/gui/SweepDialog.h"
#include "tests/app/WindowFixtures.h"
#include "tests/app/WorkbookXml.h"

#include <QComboBox>
#include <QTableWidget>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QProcess>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <cstdio>
#include <fstream>

using namespace brennic;

namespace {

// The plot area of the evolution chart, in the page's coordinates.
QRect PlotOnPage(TFrmBrennic& w)
{
    TZoomChartView* chart = w.TabSheet3->Chart;
    const QRectF plot = chart->chart()->plotArea();
    const QPoint tl = chart->viewport()->mapTo(w.TabSheet3, chart->mapFromScene(plot.topLeft()));
    const QPoint br = chart->viewport()->mapTo(w.TabSheet3, chart->mapFromScene(plot.bottomRight()));
    return QRect(tl, br);
}

}  // namespace

TEST(WindowAnswers, HeadlineAfterARunStartedOnTheProfilePage)
{
    Window f;
    TFrmBrennic& w = f.w;
    ASSERT_EQ(w.PageControl1->currentIndex(), 0);
    EXPECT_TRUE(w.TabSheet3->Readout->text().isEmpty()) << "nothing is ready or not before a run";
    RunAndWait(w);
    EXPECT_EQ(w.PageControl1->currentIndex(), 0) << "a run from a result page stays there";
    EXPECT_EQ(w.TabSheet3->Headline->text().toStdString(),
              "Mirror still more than 0.5 \u00b0C above the air at the end (120 min); mirror seeing not below 0.25\u2033 by the end");
    w.edtTimeInterval->setText(QStringLiteral("180"));
    RunAndWait(w);
    // The glass within 0.5 °C (the second tolerance) and the seeing below 0.25″ (the second threshold).
    const TReadiness& r = w.Record.Readiness;
    ASSERT_TRUE(r.ReadyFrom(TReadiness::Glass, 1) && r.SeeingReadyFrom(1));
    EXPECT_EQ(w.TabSheet3->Headline->text().toStdString(),
              "Mirror no more than 0.5 \u00b0C above the air from " + MinutesText(*r.ReadyFrom(TReadiness::Glass, 1), u'.') +
                  "; mirror seeing below 0.25\u2033 from " + MinutesText(*r.SeeingReadyFrom(1), u'.'));
    w.PageControl1->setCurrentIndex(1);
    QTest::qWait(50);
    EXPECT_TRUE(w.TabSheet3->Headline->isVisible());
    EXPECT_GT(w.TabSheet3->Headline->height(), 0);
    EXPECT_TRUE(w.TabSheet3->Readout->text().contains("Surface"));
    // The strip spans the plot exactly, on the first showing.
    const QRect plot = PlotOnPage(w);
    EXPECT_NEAR(w.TabSheet3->Strip->geometry().left(), plot.left(), 1);
    EXPECT_NEAR(w.TabSheet3->Strip->geometry().right(), plot.right(), 1);
    // A run from the conditions page turns to where the run is seen.
    w.PageControl1->setCurrentIndex(ConditionsPage);
    RunAndWait(w);
    EXPECT_EQ(w.PageControl1->currentIndex(), int(EvolutionPage));
}

TEST(WindowAnswers, TheReadoutNeverCoversThePlot)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.PageControl1->setCurrentIndex(1);
    RunAndWait(w);
    w.btnKeepRun->click();
    for (const QSize size : {QSize(855, 671), QSize(1280, 800), QSize(1600, 1000)}) {
        w.resize(size);
        QTest::qWait(30);
        const QRect plot = PlotOnPage(w);
        const QRect panel = w.TabSheet3->ReadoutScroll->geometry();
        EXPECT_FALSE(plot.intersects(panel)) << size.width();
        EXPECT_FALSE(plot.intersects(w.TabSheet3->Headline->geometry())) << size.width();
        EXPECT_GE(panel.width(), 180) << size.width();
        EXPECT_NEAR(w.TabSheet3->Strip->geometry().left(), plot.left(), 1) << size.width();
        EXPECT_NEAR(w.TabSheet3->Strip->geometry().right(), plot.right(), 1) << size.width();
    }
}

TEST(WindowAnswers, KeptRunsAreToldApartNamedHiddenAndRemoved)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.PageControl1->setCurrentIndex(1);
    for (const char* film : {"25", "10", "40"}) {
        w.edtFrontFanFlow->setText(QString::fromLatin1(film));
        RunAndWait(w);
        if (QString::fromLatin1(film) != "40")
            w.btnKeepRun->click();
    }
    ASSERT_EQ(w.Kept.Runs().size(), 2u);
    QListWidget* runs = w.TabSheet3->Runs;
    ASSERT_EQ(runs->count(), 3);
    EXPECT_EQ(runs->item(1)->text(), "front film 25");
    EXPECT_EQ(runs->item(2)->text(), "front film 10");
    // A colour per run, none of them the current curves' colours.
    QList<QColor> colours;
    for (QAbstractSeries* s : w.Chart1->chart()->series())
        if (s->objectName() == "KeptSeries")
            colours << static_cast<QLineSeries*>(s)->pen().color();
    ASSERT_EQ(colours.size(), 8);
    EXPECT_EQ(colours[0], colours[1]);
    EXPECT_NE(colours[0], colours[4]);
    for (const QColor& c : {colours[0], colours[4]})
        for (QLineSeries* current : {w.LineSeries1, w.Series1, w.Series2, w.Series3}) EXPECT_NE(c, current->pen().color());
    // Renamed, hidden, removed.
    runs->item(1)->setText(QStringLiteral("with fan"));
    QTest::qWait(20);
    EXPECT_EQ(w.Kept.Runs()[0].Name, "with fan");
    EXPECT_EQ(w.TabSheet3->Runs->item(1)->text(), "with fan");
    w.TabSheet3->Runs->item(2)->setCheckState(Qt::Unchecked);
    QTest::qWait(20);
    EXPECT_FALSE(w.Kept.Runs()[1].Visible);
    int hidden = 0;
    for (QAbstractSeries* s : w.Chart1->chart()->series())
        hidden += s->objectName() == "KeptSeries" && !s->isVisible();
    EXPECT_EQ(hidden, 4);
    w.TabSheet3->Runs->setCurrentRow(1);
    w.TabSheet3->RemoveRun->click();
    QTest::qWait(20);
    ASSERT_EQ(w.Kept.Runs().size(), 1u);
    EXPECT_EQ(w.TabSheet3->Runs->count(), 2);
}

TEST(WindowAnswers, KeptRunsRoundTripThroughAScenarioAndTheWorkbook)
{
    QTemporaryDir dir;
    const QString scenario = dir.filePath("kept.brennic");
    const QString book = dir.filePath("kept.xlsx");
    std::optional<double> ready;
    {
        Window f;
        TFrmBrennic& w = f.w;
        w.edtFrontFanFlow->setText(QStringLiteral("10"));
        RunAndWait(w);
        w.btnKeepRun->click();
        w.Kept.Rename(0, "slow fan");
        ready = w.Kept.Runs()[0].Readiness.ReadyFrom(TReadiness::Surface, 1);
        w.edtFrontFanFlow->setText(QStringLiteral("25"));
        RunAndWait(w);
        w.SaveScenario(scenario);
        w.ExportWorkbook(book);
    }
    Window f;
    TFrmBrennic& w = f.w;
    w.OpenScenario(scenario);
    WaitForRun(w);  // the kept runs are computed beside the window
    ASSERT_EQ(w.Kept.Runs().size(), 1u);
    EXPECT_EQ(w.Kept.Runs()[0].Name, "slow fan");
    EXPECT_EQ(w.Kept.Runs()[0].Inputs.Text(fFrontFilm), u"10");
    EXPECT_EQ(w.Kept.Runs()[0].Readiness.ReadyFrom(TReadiness::Surface, 1), ready);
    EXPECT_EQ(w.TabSheet3->Runs->item(1)->text(), "slow fan");
    // The workbook: a sheet for the kept run and the comparison.
    const std::string xml = test::Unzip(book.toStdString(), "xl/workbook.xml");
    EXPECT_NE(xml.find("name=\"Kept run 1\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("name=\"Comparison\""), std::string::npos) << xml;
}

TEST(WindowAnswers, ClockTimesWithADatedAirFile)
{
    QTemporaryDir dir;
    const QString path = Write(dir, "night.csv",
                               "time,temperature\n2025-11-20T18:00,8\n2025-11-20T21:00,5\n2025-11-21T02:00,3\n");
    Window f;
    TFrmBrennic& w = f.w;
    w.UseAirFile({path.toStdString(), "", "", "", "", "", ""}, true);
    RunAndWait(w);
    const QString headline = w.TabSheet3->Headline->text();
    // Not today: with the date; and the minutes beside the clock.
    EXPECT_TRUE(headline.startsWith("Mirror no more than 0.5 \u00b0C above the air from 2025-11-2")) << headline.toStdString();
    EXPECT_TRUE(headline.contains(" min)")) << headline.toStdString();
    EXPECT_EQ(RunClock(w.Record, 0), "2025-11-20 18:00");
    EXPECT_EQ(RunClock(w.Record, 8 * 3600), "2025-11-21 02:00");
    // The time axis on the clock: round times, the date at midnight.
    w.PageControl1->setCurrentIndex(1);
    QTest::qWait(30);
    const std::vector<QString> labels = w.TabSheet3->Clock->Labels();
    ASSERT_GE(labels.size(), 4u);
    EXPECT_EQ(labels.front(), "18:00");
    EXPECT_NE(std::find(labels.begin(), labels.end(), QStringLiteral("11-21")), labels.end());
    const QValueAxis* x = AxisOf(w.Chart1, Qt::Horizontal);
    EXPECT_EQ(x->labelsColor().alpha(), 0);
    EXPECT_EQ(x->titleText(), "Local time (2025-11-20)");
    // The readout's ready times on the same clock.
    const QString readout = w.TabSheet3->Readout->text();
    EXPECT_TRUE(readout.contains("(local time)")) << readout.toStdString();
    const auto ready = w.Record.Readiness.ReadyFrom(TReadiness::Surface, 0);
    ASSERT_TRUE(ready.has_value());
    EXPECT_TRUE(readout.contains(QString::fromStdString(RunClock(w.Record, *ready).substr(11)))) << readout.toStdString();
    // The workbook's results with their local date-times: 2025-11-20 18:00
    // is day 45981.75 of a spreadsheet.
    const QString book = dir.filePath(QStringLiteral("night.xlsx"));
    w.ExportWorkbook(book);
    const std::string results = test::Unzip(book.toStdString(), "xl/worksheets/sheet1.xml");
    EXPECT_NE(results.find("Local time"), std::string::npos);
    EXPECT_NEAR(test::Cell(results, "G2"), 45981.75, 1e-9);
    EXPECT_NEAR(test::Cell(results, "G3") - test::Cell(results, "G2"), test::Cell(results, "A3") / 86400, 1e-9);
    // A sweep on that night: its ready times on the same clock.
    {
        TSweepDialog sweep([&] { return w.CurrentSource(); }, u'.', &w);
        sweep.Key1->setCurrentIndex(sweep.Key1->findData(QStringLiteral("thickness")));
        sweep.Values1->setText(w.edtThickness->text() + QStringLiteral(",200"));
        sweep.RunSweep();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !sweep.Running(); }, 60000));
        ASSERT_EQ(sweep.Table->rowCount(), 2);
        EXPECT_EQ(sweep.Table->horizontalHeaderItem(1)->text(), "Ready (min, local time)");
        EXPECT_EQ(sweep.Table->item(0, 1)->text().toStdString(),
                  FixedText(*ready / 60, 1, u'.') + " (" + RunClock(w.Record, *ready).substr(11) + ")");
    }
    // A run kept on that night keeps its clock when the air is a ramp again.
    w.btnKeepRun->click();
    const std::string keptAt = RunClock(w.Record, *ready).substr(11);
    w.UseAirRamp();
    RunAndWait(w);
    EXPECT_TRUE(w.TabSheet3->Readout->text().contains(QString::fromStdString(": surface " + keptAt)))
        << w.TabSheet3->Readout->text().toStdString();
    EXPECT_FALSE(w.TabSheet3->Readout->text().contains("(local time)"));
    EXPECT_TRUE(w.TabSheet3->Clock->Labels().empty());
    EXPECT_EQ(x->titleText(), "Time (min)");
    EXPECT_NE(x->labelsColor().alpha(), 0);
}

TEST(WindowAnswers, ARefusedFieldIsFocusedAndMarkedUntilEdited)
{
    ErrorCapture errors;
    Window f;
    TFrmBrennic& w = f.w;
    w.edtThickness->setText(QStringLiteral("abc"));
    w.btnRun->click();
    ASSERT_EQ(errors.messages.size(), 1);
    EXPECT_EQ(errors.messages[0], "'abc' is not a valid floating point value.");  // as it always was
    EXPECT_TRUE(w.edtThickness->hasFocus());
    EXPECT_TRUE(w.edtThickness->styleSheet().contains("border"));
    EXPECT_EQ(w.edtThickness->toolTip().toStdString(), errors.messages[0].toStdString());
    QTest::keyClick(w.edtThickness, Qt::Key_2);
    EXPECT_TRUE(w.edtThickness->styleSheet().isEmpty());
    EXPECT_NE(w.edtThickness->toolTip(), errors.messages[0]);
}

TEST(WindowAnswers, EnterAndF5RunEscapeCancelsTheFocusStaysOnRun)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.edtTimeInterval->setFocus();
    QTest::keyClick(w.edtTimeInterval, Qt::Key_Return);
    WaitForRun(w);
    EXPECT_GT(w.Record.Readiness.Reports(), 0u);
    w.edtTimeInterval->setText(QStringLiteral("30"));
    QTest::keyClick(w.edtThickness, Qt::Key_F5);
    WaitForRun(w);
    EXPECT_EQ(w.Record.Duration, 30 * 60);
    // A long run, stopped with Escape: the headline says so.
    w.edtTimeInterval->setText(QStringLiteral("2880"));
    w.edtTimeStep->setText(QStringLiteral("0.5"));
    w.edtElementCount->setText(QStringLiteral("400"));
    w.btnRun->setFocus();
    QTest::keyClick(w.btnRun, Qt::Key_Space);
    ASSERT_TRUE(w.Running());
    QTest::qWait(100);
    QTest::keyClick(w.edtThickness, Qt::Key_Escape);
    WaitForRun(w);
    EXPECT_TRUE(w.TabSheet3->Headline->text().startsWith("Stopped at ")) << w.TabSheet3->Headline->text().toStdString();
    EXPECT_TRUE(w.TabSheet3->Headline->text().contains(" of 2880 min: mirror "));
    EXPECT_TRUE(w.btnRun->hasFocus());
}

// No browser (xdg-open finds no method) and a session bus without the
// desktop portal, as on a bus started just for the program: the portal's
// error hands over to the program's own viewer.
TEST(WindowAnswers, TheHelpOpensInItsOwnViewerWhenNoBrowserAnswers)
{
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                              QStringLiteral("--print-address")});
    if (!bus.waitForStarted(5000) || !bus.waitForReadyRead(5000))
        GTEST_SKIP() << "dbus-daemon could not be started";
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed().constData(), 1);
    SetShellOps({[](const QString&, const QString&, const QString&, std::function<void()> none) {
                     QTimer::singleShot(0, [none] { none(); });
                     return true;
                 },
                 DesktopShellOps().chooseApplication});
    Window f;
    TFrmBrennic& w = f.w;
    w.btnHelp->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.HelpViewer && w.HelpViewer->isVisible(); }, PortalAnswerMs + 3000));
    EXPECT_TRUE(w.HelpViewer->Page->toPlainText().contains("Real nights: the air from a file"));
    SetShellOps(DesktopShellOps());
    bus.kill();
    bus.waitForFinished();
}

TEST(WindowAnswers, FitsAScreenAtScale2)
{
    TFrmBrennic w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QSize screen = w.screen()->availableSize();
    EXPECT_LE(w.minimumWidth(), screen.width());
    EXPECT_LE(w.minimumHeight(), screen.height());
    EXPECT_LE(w.width(), screen.width());
    EXPECT_LE(w.height(), screen.height());
}

TEST(WindowAnswers, UnsavedChangesAreMarkedAndAskedAbout)
{
    QTemporaryDir dir;
    Window f;
    TFrmBrennic& w = f.w;
    EXPECT_EQ(w.windowTitle(), "Telescope Brennic");
    QTest::keyClick(w.edtThickness, Qt::Key_5);
    EXPECT_EQ(w.windowTitle(), "Telescope Brennic *");
    int asked = 0;
    TFrmBrennic::TUnsavedAnswer answer = TFrmBrennic::TUnsavedAnswer::Cancel;
    w.DiscardPrompt = [&] {
        ++asked;
        return answer;
    };
    EXPECT_FALSE(w.ConfirmDiscard());
    EXPECT_EQ(asked, 1);
    const QString mine = dir.filePath("mine.brennic");
    w.SaveScenario(mine);
    EXPECT_EQ(w.windowTitle(), "Telescope Brennic \u2014 mine");
    EXPECT_EQ(w.StatusBar1->Panel()->text(), "Saved to " + mine);
    EXPECT_TRUE(w.ConfirmDiscard());
    EXPECT_EQ(asked, 1);  // nothing to lose: not asked
    // "Save" writes the changes where the scenario came from, then goes on.
    w.edtThickness->selectAll();
    QTest::keyClicks(w.edtThickness, "30");
    answer = TFrmBrennic::TUnsavedAnswer::Save;
    EXPECT_TRUE(w.ConfirmDiscard());
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(w.Dirty());
    EXPECT_EQ(ReadScenario(QFile::encodeName(mine).toStdString()).Inputs.Text(fThickness), u"30");
}

TEST(WindowAnswers, SurfaceMinusAirInTheLegendAndMarkerLabelsApart)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.PageControl1->setCurrentIndex(1);
    w.TabSheet3->SetDecimalSeparator(u',');
    w.edtTimeInterval->setText(QStringLiteral("180"));
    RunAndWait(w);
    w.chkSurfaceMinusAir->setChecked(true);
    QTest::qWait(20);
    bool listed = false;
    for (QLegendMarker* m : w.Chart1->chart()->legend()->markers(w.TabSheet3->SurfaceMinusAir)) listed = m->isVisible();
    EXPECT_TRUE(listed);
    QList<QGraphicsSimpleTextItem*> labels;
    for (QGraphicsItem* item : w.Chart1->scene()->items())
        if (auto* text = dynamic_cast<QGraphicsSimpleTextItem*>(item); text && text->isVisible() &&
                                                                       text->text().endsWith("\u00b0C"))
            labels << text;
    ASSERT_EQ(labels.size(), 2);
    QStringList texts{labels[0]->text(), labels[1]->text()};
    EXPECT_TRUE(texts.contains("0,5 \u00b0C")) << texts.join('|').toStdString();
    const QRectF a = labels[0]->sceneBoundingRect(), b = labels[1]->sceneBoundingRect();
    EXPECT_FALSE(a.intersects(b));
    const QRectF legend = w.Chart1->chart()->legend()->geometry();
    EXPECT_FALSE(a.intersects(legend));
    EXPECT_FALSE(b.intersects(legend));
}

TEST(WindowAnswers, MeasuredPointsOutsideTheModelStayInsideTheAxes)
{
    QTemporaryDir dir;
    const QString log = Write(dir, "log.csv", "min,T_Surface\n0,20\n30,26\n60,2\n");
    Window f;
    TFrmBrennic& w = f.w;
    w.LoadMeasuredLog(log.toStdString(), {}, "");
    RunAndWait(w);
    const QValueAxis* y = AxisOf(w.Chart1, Qt::Vertical);
    EXPECT_LE(y->min(), 2);
    EXPECT_GE(y->max(), 26);
}

TEST(WindowAnswers, TheProfileAtAnyTimeOfTheRun)
{
    Window f;
    TFrmBrennic& w = f.w;
    RunAndWait(w);
    const TRunRecord& r = w.Record;
    QSlider* time = w.TabSheet1->Time;
    ASSERT_EQ(r.Snapshots.size(), r.Reports.size());  // 720 reports: every one kept
    EXPECT_EQ(time->maximum(), int(r.Snapshots.size()));
    EXPECT_EQ(time->value(), time->maximum());
    const QString last = w.Chart4->chart()->title();
    EXPECT_EQ(last, QString::fromStdU16String(r.ProfileTitle));
    time->setValue(6);  // the seventh report: the first is at 0 s
    EXPECT_EQ(w.Chart4->chart()->title(), "Temperature Profile - Time 60 sec");
    EXPECT_EQ(w.TabSheet1->TimeLabel->text(), "1.0 min");
    const std::vector<TPoint> shown = w.TabSheet1->Curve().Points();
    ASSERT_EQ(shown.size(), r.Snapshots[6].Temperatures.size());
    EXPECT_EQ(shown.front().y, r.Snapshots[6].Temperatures.front());
    // The axis fits that profile, not the whole run's range.
    const QValueAxis* y = AxisOf(w.Chart4, Qt::Vertical);
    const auto [lo, hi] = std::minmax_element(r.Snapshots[6].Temperatures.begin(), r.Snapshots[6].Temperatures.end());
    EXPECT_LE(y->min(), *lo);
    EXPECT_GE(y->max(), *hi);
    EXPECT_LT(y->max() - y->min(), r.Plan.TempMax - r.Plan.TempMin);
    time->setValue(time->maximum());
    EXPECT_EQ(w.Chart4->chart()->title(), last);
    // A long run keeps every n-th profile, at most MaxProfileSnapshots.
    w.edtTimeInterval->setText(QStringLiteral("1440"));
    w.edtTimeStep->setText(QStringLiteral("5"));
    RunAndWait(w);
    EXPECT_LE(w.Record.Snapshots.size(), MaxProfileSnapshots);
    EXPECT_EQ(w.Record.Snapshots[1].Time, 5.0 * double(w.Record.SnapshotStride));
    // A radiating face below the air's range is still in view at the end.
    w.edtFrontRadiation->setText(QStringLiteral("0.9"));
    w.edtTimeInterval->setText(QStringLiteral("360"));
    w.edtTimeStep->setText(QStringLiteral("10"));
    RunAndWait(w);
    double lowest = 1e9;
    for (const TPoint& p : w.Record.Profile) lowest = std::min(lowest, p.y);
    ASSERT_LT(lowest, w.Record.Plan.TempMin);
    EXPECT_LE(AxisOf(w.Chart4, Qt::Vertical)->min(), lowest);
}

// Every curve shown stays inside the axes (a kept run that starts warmer, a
// surface that a clear sky pulls below the inputs' range); the legend holds
// every entry after Keep, rename and hide; Enter in a kept run's name
// confirms the name and starts nothing.
TEST(WindowAnswers, AxesAndLegendHoldEveryCurveShown)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.PageControl1->setCurrentIndex(EvolutionPage);
    w.edtInitialMirrorTemp->setText(QStringLiteral("30"));
    RunAndWait(w);
    w.btnKeepRun->click();
    w.edtInitialMirrorTemp->setText(QStringLiteral("20"));
    w.edtFrontRadiation->setText(QStringLiteral("0.9"));
    w.edtTimeInterval->setText(QStringLiteral("600"));
    RunAndWait(w);
    QTest::qWait(50);
    const auto& surface = w.Curve(w.Series2).Points();
    const double lowest = std::min_element(surface.begin(), surface.end(), [](auto a, auto b) { return a.y < b.y; })->y;
    ASSERT_LT(lowest, 9);  // below the inputs' range less a degree
    EXPECT_LE(w.Chart1->Home().yMin, lowest);
    EXPECT_GE(w.Chart1->Home().yMax, 30);  // the kept run's start

    auto legendHoldsItsEntries = [&](const char* when) {
        QLegend* legend = w.Chart1->chart()->legend();
        int shown = 0;
        for (QLegendMarker* m : legend->markers()) shown += m->isVisible();
        EXPECT_GE(legend->geometry().height(), shown * QFontMetrics(legend->font()).height()) << when;
        // Whole inside the plot, never over the strip below it.
        EXPECT_TRUE(legend->isVisible()) << when;
        EXPECT_LE(legend->geometry().bottom(), w.Chart1->chart()->plotArea().bottom()) << when;
    };
    legendHoldsItsEntries("kept");
    QListWidget* runs = w.TabSheet3->Runs;
    runs->item(1)->setCheckState(Qt::Unchecked);
    QTest::qWait(30);
    EXPECT_LT(w.Chart1->Home().yMax, 30);  // the hidden run no longer counts
    legendHoldsItsEntries("hidden");

    const std::uint64_t version = w.Record.Version;
    runs->setFocus();
    runs->editItem(runs->item(1));
    QTest::qWait(30);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor, w.btnRun);
    QTest::keyClicks(editor, QStringLiteral("no fan"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(50);
    EXPECT_FALSE(w.Running());
    EXPECT_EQ(w.Record.Version, version);  // no run was started
    EXPECT_EQ(w.Kept.Runs()[0].Name, "no fan");
    legendHoldsItsEntries("renamed");
    // A shorter chart: a smaller legend, or none where even that does not fit.
    QLegend* legend = w.Chart1->chart()->legend();
    const QFont font = legend->font();
    for (int height : {260, 150}) {
        w.Chart1->resize(w.Chart1->width(), height);
        QTest::qWait(30);
        const QRectF plot = w.Chart1->chart()->plotArea();
        EXPECT_TRUE(!legend->isVisible() || legend->geometry().bottom() <= plot.bottom()) << height;
        EXPECT_LE(QFontInfo(legend->font()).pixelSize(), QFontInfo(font).pixelSize()) << height;
    }
    EXPECT_FALSE(legend->isVisible()) << "six entries over a plot of a few pixels";
}

// A kept run keeps its own air: reopened, it is computed with the ramp it
// was kept with, not with the scenario's air file; one whose air file has
// changed since is shown as saved, and the status bar says so.
TEST(WindowAnswers, KeptRunsKeepTheirOwnAirThroughAScenario)
{
    QTemporaryDir dir;
    const QString scenario = dir.filePath("kept.brennic");
    const QString night = Write(dir, "night.csv",
                                "time,temp\n2026-12-08 18:00,10\n2026-12-08 19:00,8\n2026-12-08 20:00,6\n"
                                "2026-12-08 21:00,4\n");
    std::optional<double> rampReady;
    double fileEnd = 0;
    {
        Window f;
        TFrmBrennic& w = f.w;
        w.edtTimeInterval->setText(QStringLiteral("180"));
        RunAndWait(w);  // constant 10 degC air
        w.btnKeepRun->click();
        rampReady = w.Kept.Runs()[0].Readiness.ReadyFrom(TReadiness::Surface, 0);
        w.UseAirFile({night.toStdString(), "", "", "", "", "", "", ""}, true);
        RunAndWait(w);
        w.btnKeepRun->click();
        fileEnd = w.Kept.Runs()[1].Reports.back().Surface;
        w.SaveScenario(scenario);
    }
    // The file changes after the scenario was saved.
    Write(dir, "night.csv", "time,temp\n2026-12-08 18:00,2\n2026-12-08 21:00,0\n");
    Window f;
    TFrmBrennic& w = f.w;
    w.OpenScenario(scenario);
    EXPECT_TRUE(w.Running());  // opening returned at once
    WaitForRun(w);
    ASSERT_EQ(w.Kept.Runs().size(), 2u);
    EXPECT_FALSE(w.Kept.Runs()[0].Air);
    EXPECT_EQ(w.Kept.Runs()[0].Readiness.ReadyFrom(TReadiness::Surface, 0), rampReady);
    // As saved: its curves end where they ended, not on the changed file's air.
    EXPECT_NEAR(w.Kept.Runs()[1].Reports.back().Surface, fileEnd, 1e-9);
    EXPECT_TRUE(w.StatusBar1->Panel()->text().contains(QStringLiteral("kept run 2 has an air file that changed since")))
        << w.StatusBar1->Panel()->text().toStdString();
}
