// The evolution page's answers: the readiness readout and its markers, runs
// kept for comparison, the strip under the plot, and the window's finish.
#include "app/core/results/Readiness.h"
#include "app/gui/ErrorReport.h"
#include "app/gui/MainOrvalis.h"
#include "app/gui/StripView.h"
#include "tests/app/WindowFixtures.h"

#include <QMenuBar>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdio>

using namespace brennic;

namespace {

// The worked example: a 25 mm Pyrex disc from 20 degC into 10 degC air.
struct ExampleWindow : Window {
    void Example(const char* frontFilm)
    {
        w.edtThickness->setText("25");
        w.edtTimeInterval->setText("180");
        w.edtFrontFanFlow->setText(frontFilm);
        RunAndWait(w);
    }
};

QStringList LegendLabels(QChart* chart)
{
    QStringList out;
    for (QLegendMarker* m : chart->legend()->markers())
        if (m->isVisible())
            out << m->label();
    return out;
}

std::string RunSim(const std::string& args)
{
    std::string out;
    FILE* p = ::popen(("env LC_ALL=C " + std::string(BRENNIC_SIM) + " " + args).c_str(), "r");
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ::pclose(p);
    return out;
}

}  // namespace

TEST(Readout, ShowsWhenEachPartIsReadyAndAgreesWithTheCommandLine)
{
    ExampleWindow f;
    f.w.PageControl1->setCurrentIndex(EvolutionPage);
    f.Example("25");
    const QString text = f.w.TabSheet3->Readout->text();
    EXPECT_TRUE(f.w.TabSheet3->Readout->isVisible());
    const auto json = nlohmann::json::parse(RunSim("--summary --json --thickness 25 --duration 180 --front-film 25"));
    static const char* const parts[] = {"surface", "back", "glass"};
    const auto cells = ReadyCells(f.w.Record.Readiness, u'.');
    for (int p = 0; p < 3; ++p)
        for (std::size_t k = 0; k < 3; ++k) {
            const auto& minutes = json["ready_minutes"][parts[p]][k];
            char expected[32] = "not reached";
            if (!minutes.is_null())
                std::snprintf(expected, sizeof expected, "%.1f min", minutes.get<double>());
            EXPECT_EQ(cells[std::size_t(p)][k], expected) << parts[p] << " " << k;
            EXPECT_TRUE(text.contains(QString::fromLatin1(expected))) << expected;
        }
    // The markers stand where the surface comes within 1 and 0.5 degC for good.
    const auto markers = f.w.TabSheet3->MarkerMinutes();
    ASSERT_TRUE(markers[0] && markers[1]);
    EXPECT_DOUBLE_EQ(*markers[0], json["ready_minutes"]["surface"][0].get<double>());
    EXPECT_DOUBLE_EQ(*markers[1], json["ready_minutes"]["surface"][1].get<double>());
    EXPECT_TRUE(
        text.contains("Surface \u2212 air now: " +
                      QString::number(f.w.Record.Readiness.Last().Surface - 10, 'f', 2).replace(u'-', QChar(0x2212))));
    // The default run never gets within 1 degC in two hours: no marker.
    f.w.edtThickness->setText("50.8");
    f.w.edtTimeInterval->setText("120");
    f.w.edtFrontFanFlow->setText("10");
    RunAndWait(f.w);
    EXPECT_FALSE(f.w.TabSheet3->MarkerMinutes()[0].has_value());
    EXPECT_TRUE(f.w.TabSheet3->Readout->text().contains("not reached"));
}

TEST(Readout, KeptRunsStayLabelledAndLeaveTheTableAlone)
{
    ExampleWindow f;
    TFrmBrennic& w = f.w;
    EXPECT_FALSE(w.btnKeepRun->isEnabled());
    f.Example("10");
    ASSERT_TRUE(w.btnKeepRun->isEnabled());
    w.btnKeepRun->click();
    EXPECT_TRUE(w.btnClearKept->isEnabled());
    f.Example("25");
    const std::u16string current = w.ResultLines->GetTextStr();
    EXPECT_EQ(w.TabSheet3->KeptLabels(), std::vector<std::string>{"front film 10"});
    EXPECT_TRUE(LegendLabels(w.Chart1->chart()).contains("front film 10"));
    EXPECT_TRUE(w.TabSheet3->Readout->text().contains("<i>front film 10</i>: surface 66"));
    // Kept curves are drawn but not exported: the rows are the current run's.
    EXPECT_EQ(w.ResultLines->Get(w.ResultLines->Count() - 1).substr(0, 10), u"10800,10,9");
    EXPECT_EQ(w.ResultLines->Count(), 1082);

    // Up to four; then Keep waits for a clear.
    for (const char* film : {"15", "20", "30"}) {
        w.btnKeepRun->click();
        f.Example(film);
    }
    w.btnKeepRun->click();
    EXPECT_EQ(w.Kept.Runs().size(), 4u);
    EXPECT_FALSE(w.btnKeepRun->isEnabled());
    EXPECT_EQ(w.TabSheet3->KeptLabels().size(), 4u);
    w.btnClearKept->click();
    EXPECT_TRUE(w.TabSheet3->KeptLabels().empty());
    EXPECT_FALSE(LegendLabels(w.Chart1->chart()).contains("front film 10"));
    EXPECT_EQ(LegendLabels(w.Chart1->chart()), QStringList({"Core Temp.", "Surface Temp.", "Back Temp.", "Air Temp."}));
    EXPECT_FALSE(w.btnClearKept->isEnabled());
    EXPECT_TRUE(w.btnKeepRun->isEnabled());
    EXPECT_NE(w.ResultLines->GetTextStr(), current);  // the last run, film 30
}

TEST(Readout, SurfaceMinusAirCurveOnRequest)
{
    Window f;
    f.w.edtTimeInterval->setText("30");
    RunAndWait(f.w);
    EXPECT_FALSE(f.w.TabSheet3->SurfaceMinusAir->isVisible());
    f.w.chkSurfaceMinusAir->setChecked(true);
    f.w.PageControl1->setCurrentIndex(EvolutionPage);
    EXPECT_TRUE(f.w.TabSheet3->SurfaceMinusAir->isVisible());
    const auto& points = f.w.Curve(f.w.TabSheet3->SurfaceMinusAir).Points();
    ASSERT_EQ(points.size(), 181u);
    EXPECT_EQ(points.front().y, 10);
    EXPECT_EQ(points.back().y, f.w.Record.Reports.back().Surface - f.w.Record.Reports.back().Air);
}

TEST(Readout, StripSpansThePlotAndFollowsTheZoom)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.PageControl1->setCurrentIndex(EvolutionPage);
    RunAndWait(w);
    for (QSize size : {QSize(855, 671), QSize(1200, 800)}) {
        w.resize(size);
        QCoreApplication::processEvents();
        const QRectF plot = w.Chart1->chart()->plotArea();
        const QPoint left = w.Chart1->viewport()->mapTo(w.TabSheet3, w.Chart1->mapFromScene(plot.bottomLeft()));
        const QPoint right = w.Chart1->viewport()->mapTo(w.TabSheet3, w.Chart1->mapFromScene(plot.bottomRight()));
        EXPECT_EQ(w.ImgView321->x(), left.x()) << size.width();
        EXPECT_EQ(w.ImgView321->x() + w.ImgView321->width(), right.x()) << size.width();
        EXPECT_EQ(w.ImgView321->height(), 57);
    }
    EXPECT_EQ(w.ImgView321->SpanCount(), -1);  // the whole run
    w.Chart1->ZoomIn({30, 60, 9, 21});
    EXPECT_EQ(w.ImgView321->SpanFirst(), 180);
    EXPECT_EQ(w.ImgView321->SpanCount(), 181);
    w.Chart1->ZoomHome();
    EXPECT_EQ(w.ImgView321->SpanCount(), -1);
    EXPECT_FALSE(w.ImgView321->toolTip().isEmpty());
}

TEST(Finish, TitlesNoticeGroupsAndFocus)
{
    ErrorCapture errors;
    Window f;
    TFrmBrennic& w = f.w;
    EXPECT_EQ(ChartAxis(w.Chart1, Qt::Horizontal)->titleText(), "Time (min)");
    EXPECT_EQ(ChartAxis(w.Chart1, Qt::Vertical)->titleText(), "Temperature (\u00b0C)");
    EXPECT_EQ(ChartAxis(w.Chart4, Qt::Horizontal)->titleText(), "Position from the front (mm)");
    EXPECT_EQ(w.minimumSize(), QSize(855, 671 + w.MenuBar->height()));
    const QString notice = w.StatusBar1->Panel()->text();
    EXPECT_FALSE(notice.contains('/') && notice.contains("file:")) << notice.toStdString();
    EXPECT_TRUE(notice.contains("F1"));
    for (QGroupBox* g : {w.grpMirror, w.grpHeatTransfer, w.grpSimulation})
        for (QWidget* child : g->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            EXPECT_GE(child->geometry().top(), g->contentsRect().top() + 2) << child->objectName().toStdString();
            EXPECT_LE(child->geometry().bottom(), g->height() - 3) << child->objectName().toStdString();
        }

    // A refused field takes the focus with its text selected.
    w.edtTimeStep->setText("0");
    RunAndWait(w);
    ASSERT_EQ(errors.messages.size(), 1);
    EXPECT_EQ(QApplication::focusWidget(), w.edtTimeStep);
    EXPECT_EQ(w.edtTimeStep->selectedText(), "0");
    w.edtTimeStep->setText("10");
    w.edtElementCount->setText("5x");
    RunAndWait(w);
    EXPECT_EQ(errors.messages.last(), "''5x'' is not a valid integer value.");
    EXPECT_EQ(QApplication::focusWidget(), w.edtElementCount);
    EXPECT_EQ(w.edtElementCount->selectedText(), "5x");
}
