#include "app/gui/ErrorReport.h"
#include "app/gui/MainOrvalis.h"
#include "app/gui/ZoomChartView.h"
#include "tests/app/WindowFixtures.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace brennic;

namespace {

TAxisRanges Ranges(QChartView* v)
{
    const QValueAxis* x = AxisOf(v, Qt::Horizontal);
    const QValueAxis* y = AxisOf(v, Qt::Vertical);
    return {x->min(), x->max(), y->min(), y->max()};
}

QPoint InPlot(QChartView* v, double fx, double fy)
{
    const QRectF plot = v->chart()->plotArea();
    return v->mapFromScene(QPointF(plot.left() + fx * plot.width(), plot.top() + fy * plot.height()));
}

void Drag(QChartView* v, QPoint from, QPoint to)
{
    QTest::mousePress(v->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(v->viewport(), to);
    QTest::mouseRelease(v->viewport(), Qt::LeftButton, {}, to);
}

}  // namespace

// Both charts, after a run: zoom in, step back, restore, and a right-click
// that once fed the profile's axis change back into itself.
TEST(Zoom, DragRightClickAndDoubleClickOnBothCharts)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.edtTimeInterval->setText("30");
    RunAndWait(w);
    struct Case {
        const char* name;
        int page;
        QChartView* view;
    };
    const Case cases[] = {{"profile", 0, w.Chart4}, {"evolution", 1, w.Chart1}};
    for (const auto& c : cases) {
        w.PageControl1->setCurrentIndex(c.page);
        QCoreApplication::processEvents();
        const TAxisRanges home = Ranges(c.view);

        QTest::mouseClick(c.view->viewport(), Qt::RightButton, {}, InPlot(c.view, 0.5, 0.5));
        QCoreApplication::processEvents();
        EXPECT_EQ(Ranges(c.view), home) << c.name << ": a right-click with nothing to step back from";

        Drag(c.view, InPlot(c.view, 0.25, 0.25), InPlot(c.view, 0.75, 0.75));
        const TAxisRanges first = Ranges(c.view);
        EXPECT_GT(first.xMin, home.xMin) << c.name;
        EXPECT_LT(first.xMax, home.xMax) << c.name;
        EXPECT_GT(first.yMin, home.yMin) << c.name;
        EXPECT_LT(first.yMax, home.yMax) << c.name;
        Drag(c.view, InPlot(c.view, 0.1, 0.1), InPlot(c.view, 0.5, 0.5));
        EXPECT_LT(Ranges(c.view).xMax, first.xMax) << c.name;

        QTest::mouseClick(c.view->viewport(), Qt::RightButton, {}, InPlot(c.view, 0.5, 0.5));
        EXPECT_EQ(Ranges(c.view), first) << c.name << ": one step back";
        QTest::mouseClick(c.view->viewport(), Qt::RightButton, {}, InPlot(c.view, 0.5, 0.5));
        EXPECT_EQ(Ranges(c.view), home) << c.name << ": back at the run's axes";

        Drag(c.view, InPlot(c.view, 0.2, 0.2), InPlot(c.view, 0.6, 0.6));
        QTest::mouseDClick(c.view->viewport(), Qt::LeftButton, {}, InPlot(c.view, 0.5, 0.5));
        EXPECT_EQ(Ranges(c.view), home) << c.name << ": double-click restores";

        Drag(c.view, InPlot(c.view, 0.2, 0.2), InPlot(c.view, 0.6, 0.6));
        Drag(c.view, InPlot(c.view, 0.8, 0.2), InPlot(c.view, 0.3, 0.6));
        EXPECT_EQ(Ranges(c.view), home) << c.name << ": a drag to the left restores";
        EXPECT_FALSE(c.view->toolTip().isEmpty()) << c.name << ": says how to zoom";

        // The keys after a click, and the button that shows while zoomed.
        auto* zoom = static_cast<TZoomChartView*>(c.view);
        EXPECT_FALSE(zoom->HomeButton()->isVisibleTo(zoom)) << c.name;
        QTest::keyClick(c.view, Qt::Key_Plus);
        const TAxisRanges in = Ranges(c.view);
        EXPECT_NEAR(in.xMax - in.xMin, (home.xMax - home.xMin) / 2, 1e-9) << c.name;
        EXPECT_NEAR(in.xMin + in.xMax, home.xMin + home.xMax, 1e-9) << c.name << ": about the middle";
        EXPECT_TRUE(zoom->HomeButton()->isVisibleTo(zoom)) << c.name;
        QTest::keyClick(c.view, Qt::Key_Plus);
        QTest::keyClick(c.view, Qt::Key_Minus);
        EXPECT_EQ(Ranges(c.view), in) << c.name << ": minus steps back";
        QTest::keyClick(c.view, Qt::Key_0);
        EXPECT_EQ(Ranges(c.view), home) << c.name << ": 0 restores";
        EXPECT_FALSE(zoom->HomeButton()->isVisibleTo(zoom)) << c.name;
        QTest::keyClick(c.view, Qt::Key_Plus);
        zoom->HomeButton()->click();
        EXPECT_EQ(Ranges(c.view), home) << c.name << ": the button restores";
        EXPECT_EQ(c.view->focusPolicy(), Qt::ClickFocus) << c.name << ": Tab passes the chart by";
    }
}

TEST(Zoom, ANewRunForgetsTheZoomAndAZoomSurvivesTheProfileUpdates)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.edtTimeInterval->setText("10");
    RunAndWait(w);
    auto* profile = static_cast<TZoomChartView*>(w.Chart4);
    Drag(w.Chart4, InPlot(w.Chart4, 0.2, 0.2), InPlot(w.Chart4, 0.6, 0.6));
    const TAxisRanges zoomed = Ranges(w.Chart4);
    ASSERT_TRUE(profile->Zoomed());
    // Redrawing the profile does not undo the user's zoom.
    w.RedrawPage(0);
    EXPECT_EQ(Ranges(w.Chart4), zoomed);
    RunAndWait(w);
    EXPECT_FALSE(profile->Zoomed());
    EXPECT_EQ(Ranges(w.Chart4).yMin, 9);
    EXPECT_EQ(Ranges(w.Chart4).yMax, 21);
    EXPECT_NEAR(Ranges(w.Chart4).xMin, 0.508, 1e-12);
}

// The pointer's readout: the time and each shown curve's value there, as the
// run's rows have them; nothing outside the plot.
TEST(Zoom, ThePointerReadsTheCurvesOnBothCharts)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.edtTimeStep->setText("60");
    w.PageControl1->setCurrentIndex(EvolutionPage);
    RunAndWait(w);
    TZoomChartView* chart = w.Chart1;
    const TAxisRanges shown = Ranges(chart);
    const double fx = (60 - shown.xMin) / (shown.xMax - shown.xMin);
    chart->ShowHover(InPlot(chart, fx, 0.5));
    const QStringList lines = chart->HoverLabel()->text().split(u'\n');
    ASSERT_TRUE(chart->HoverLabel()->isVisible());
    ASSERT_GE(lines.size(), 5) << chart->HoverLabel()->text().toStdString();
    const double minutes = lines[0].section(u' ', 0, 0).toDouble();
    EXPECT_NEAR(minutes, 60, 0.5 * (shown.xMax - shown.xMin) / chart->chart()->plotArea().width() + 0.05);
    // The rows are a minute apart: the surface between its neighbours.
    auto column = [&](int row, int col) {
        return QString::fromStdU16String(w.ResultLines->Get(row)).split(u',')[col].toDouble();
    };
    const QString surface = lines.filter(QStringLiteral("Surface Temp.:")).value(0);
    ASSERT_FALSE(surface.isEmpty()) << lines.join(u'|').toStdString();
    const double s = surface.section(u' ', 2, 2).toDouble();
    const int row = 1 + int(minutes);
    const int surfaceColumn = oSurface;
    EXPECT_LE(s, std::max(column(row, surfaceColumn), column(row + 1, surfaceColumn)) + 0.005);
    EXPECT_GE(s, std::min(column(row, surfaceColumn), column(row + 1, surfaceColumn)) - 0.005);
    // A hidden curve is not read; outside the plot nothing is.
    w.Series3->setVisible(false);
    chart->ShowHover(InPlot(chart, fx, 0.5));
    EXPECT_FALSE(chart->HoverLabel()->text().contains("Back Temp."));
    chart->ShowHover(InPlot(chart, 1.2, 0.5));
    EXPECT_FALSE(chart->HoverLabel()->isVisible());

    // The profile: the depth and the temperature there.
    w.PageControl1->setCurrentIndex(ProfilePage);
    QCoreApplication::processEvents();
    w.Chart4->ShowHover(InPlot(w.Chart4, 0.5, 0.5));
    EXPECT_TRUE(w.Chart4->HoverLabel()->text().contains(" mm from the front\n"))
        << w.Chart4->HoverLabel()->text().toStdString();
}
