// A measured log in the window: shown, compared, fitted and taken over.
#include "app/core/fit/Fit.h"
#include "app/gui/EvolutionPage.h"
#include "app/gui/FitDialog.h"
#include "app/gui/ReadoutPanel.h"
#include "app/gui/StatusBar.h"
#include "tests/app/WindowFixtures.h"
#include "tests/app/WorkbookXml.h"

#include <QChartView>
#include <QProgressBar>
#include <QValueAxis>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <fstream>

using namespace brennic;

namespace {

// A log of a 25 mm mirror with a fan in front (17.5 W/m2K), written by the
// model as this program exports it, one row a minute over three hours.
QString WriteLog(const QTemporaryDir& dir)
{
    TBrennicOneD s;
    TInputTexts t;
    t.Text(fThickness) = u"25";
    t.Text(fFrontFilm) = u"17.5";
    t.Text(fBackFilm) = u"6.2";
    t.Text(fDuration) = u"180";
    t.Text(fInitialAirTemp) = u"12";
    t.Text(fFinalAirTemp) = u"6";
    ApplyInputs(t, u'.', s);
    const QString path = dir.filePath(QStringLiteral("mirror.csv"));
    std::ofstream out(path.toStdString(), std::ios::binary);
    std::u16string line = ResultHeader({});
    out << std::string(line.begin(), line.end()) << "\r\n";
    for (const TStepValues& v : RunReports(s))
        if (std::fmod(v.Time, 60) == 0) {
            line.clear();
            AppendResultRow(line, v, {});
            out << std::string(line.begin(), line.end()) << "\r\n";
        }
    return path;
}

}  // namespace

TEST(FitWindow, LogShownComparedFittedAndTakenOver)
{
    ErrorCapture errors;
    QTemporaryDir dir;
    const QString path = WriteLog(dir);
    Window f;
    TFrmBrennic& w = f.w;
    EXPECT_FALSE(w.btnFit->isEnabled());
    w.edtThickness->setText("25");
    w.LoadMeasuredLog(path.toStdString(), {}, "");
    EXPECT_TRUE(w.btnFit->isEnabled());
    EXPECT_EQ(w.edtInitialMirrorTemp->text(), "20");
    EXPECT_EQ(w.edtTimeInterval->text(), "180");
    EXPECT_FALSE(w.edtInitialAirTemp->isEnabled());  // the log's air drives the run
    EXPECT_TRUE(w.TabSheet3->MeasuredSurface->isVisible());
    EXPECT_EQ(w.Curve(w.TabSheet3->MeasuredSurface).Points().size(), 181u);

    w.PageControl1->setCurrentIndex(EvolutionPage);
    RunAndWait(w);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join("|").toStdString();
    EXPECT_EQ(w.Measured.Points, 362u);
    EXPECT_GT(w.Measured.Rms, 0.05);
    EXPECT_TRUE(w.TabSheet3->Readout->text().contains("Measured log: RMS difference"));

    // The fit through the dialog, as a user would press its buttons.
    TFitDialog dialog([&](const std::vector<TFitParameter>& p) { return w.PrepareFit(p); }, u'.', &w);
    QObject::connect(&dialog, &TFitDialog::useValues, &w, [&](const TFitResult& r) { w.UseFittedValues(r); });
    dialog.Unit = TTemperatureUnit::Fahrenheit;  // as a user who reads degF sees it
    dialog.RunFit();
    EXPECT_TRUE(dialog.Running());
    EXPECT_FALSE(dialog.Start->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Running(); }, 120000));
    ASSERT_TRUE(dialog.Fitted().has_value());
    // The bar ends full, at the count of model runs the result states.
    EXPECT_EQ(dialog.Progress->value(), dialog.Fitted()->Evaluations);
    EXPECT_EQ(dialog.Progress->maximum(), dialog.Fitted()->Evaluations);
    // The last line (statistics) is inside the dialog when shown.
    dialog.show();
    QTest::qWait(20);
    EXPECT_TRUE(dialog.Result->text().contains("degrees of freedom; residuals' lag-1 autocorrelation"));
    EXPECT_LE(dialog.Result->geometry().bottom(), dialog.Residuals->geometry().top());
    EXPECT_GE(dialog.Result->height(), dialog.Result->heightForWidth(dialog.Result->width()));
    EXPECT_TRUE(dialog.Result->text().contains(QString::number(dialog.Fitted()->Evaluations) + " model runs"));
    // Units and the correlation are shown, and the residuals drawn, all inside the axes.
    EXPECT_TRUE(dialog.Result->text().contains(QString::fromUtf8("W/m\u00b2K"))) << dialog.Result->text().toStdString();
    EXPECT_TRUE(dialog.Result->text().contains("Correlation of front-film and back-film"));
    ASSERT_FALSE(dialog.Residuals->isHidden());
    const auto* axis = qobject_cast<QValueAxis*>(dialog.Residuals->chart()->axes(Qt::Vertical).first());
    for (const TMeasuredPoint& p : dialog.Fitted()->SurfaceResiduals) {
        EXPECT_GE(p.Value * 1.8, axis->min());
        EXPECT_LE(p.Value * 1.8, axis->max());
    }
    // Differences in degF, without the offset; the film coefficients as they are.
    EXPECT_EQ(axis->titleText(), "measured \u2212 model (\u00b0F)");
    const QString rms = QString::fromStdString(SignificantText(dialog.Fitted()->RmsBefore * 1.8, 4, u'.'));
    EXPECT_TRUE(dialog.Result->text().contains("RMS difference " + rms + " \u00b0F before"))
        << dialog.Result->text().toStdString() << " " << rms.toStdString();
    EXPECT_FALSE(dialog.Result->text().contains("\u00b0C")) << dialog.Result->text().toStdString();
    EXPECT_NEAR(dialog.Fitted()->Values[0], 17.5, 0.02);
    EXPECT_TRUE(dialog.Result->text().contains("RMS difference"));
    EXPECT_EQ(w.edtFrontFanFlow->text(), "10");  // nothing changes before the user says so
    dialog.UseValues->click();
    EXPECT_EQ(w.edtFrontFanFlow->text(), "17.5");
    EXPECT_EQ(w.edtBackFanFlow->text(), "6.2");
    RunAndWait(w);
    EXPECT_LT(w.Measured.Rms, 1e-3);
    // The workbook's answer: the log's RMS and the fit the inputs took.
    const QString book = dir.filePath(QStringLiteral("fitted.xlsx"));
    w.ExportWorkbook(book);
    const std::string answer = test::Unzip(book.toStdString(), "xl/worksheets/sheet4.xml");
    const std::string strings = test::Unzip(book.toStdString(), "xl/sharedStrings.xml") + answer;
    EXPECT_NE(strings.find("Fitted to the measured log"), std::string::npos);
    EXPECT_NE(strings.find("front-film"), std::string::npos);
    // Below the headline and the three seeing times: the RMS of the fitted run.
    EXPECT_NEAR(test::Cell(answer, "B7"), w.Measured.Rms, 1e-12);
}

TEST(FitWindow, CancelledFitLeavesTheInputs)
{
    QTemporaryDir dir;
    const QString path = WriteLog(dir);
    Window f;
    TFrmBrennic& w = f.w;
    w.edtThickness->setText("25");
    w.LoadMeasuredLog(path.toStdString(), {}, "");
    TFitDialog dialog([&](const std::vector<TFitParameter>& p) { return w.PrepareFit(p); }, u'.', &w);
    dialog.RunFit();
    ASSERT_TRUE(dialog.Cancel->isEnabled());
    dialog.Cancel->click();  // pressed while the fit runs
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Running(); }, 120000));
    EXPECT_FALSE(dialog.Fitted().has_value());
    EXPECT_FALSE(dialog.UseValues->isEnabled());
    EXPECT_TRUE(dialog.Result->text().contains("cancelled"));
    EXPECT_EQ(w.edtFrontFanFlow->text(), "10");
}

// A log with its own air does not take over the air in use unless the user
// says so; a log of another night is compared with nothing; the log can be
// removed.
TEST(FitWindow, AMeasuredLogSaysWhatItChangesAndCanBeRemoved)
{
    QTemporaryDir dir;
    const QString night = Write(dir, "night.csv",
                                "time,temp\n2026-12-08 18:00,10\n2026-12-08 19:00,9\n2026-12-08 20:00,8\n"
                                "2026-12-08 21:00,7\n");
    const QString other = Write(dir, "other-night.csv",
                                "time,T_Ambient,T_Surface\n2026-11-01 18:00,10,15\n2026-11-01 19:00,9,13\n"
                                "2026-11-01 20:00,8,11\n");
    Window f;
    TFrmBrennic& w = f.w;
    w.UseAirFile({night.toStdString(), "", "", "", "", "", "", ""}, true);
    int asked = 0;
    w.LogAirPrompt = [&] {
        ++asked;
        return false;  // keep the current air
    };
    w.LoadMeasuredLog(other.toStdString(), {}, "");
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(w.AirSource);
    EXPECT_EQ(w.AirSource->Table.File, night.toStdString());
    EXPECT_TRUE(w.StatusBar1->Panel()->text().contains(QStringLiteral("the start temperature (15")))
        << w.StatusBar1->Panel()->text().toStdString();
    RunAndWait(w);
    EXPECT_EQ(w.Measured.Points, 0u);  // November's log against a December night
    EXPECT_TRUE(w.TabSheet3->Readout->text().contains(QStringLiteral("no point within this run's times")))
        << w.TabSheet3->Readout->text().toStdString();

    ASSERT_TRUE(w.RemoveLogAction->isEnabled());
    w.RemoveLogAction->trigger();
    EXPECT_FALSE(w.MeasuredLog);
    EXPECT_FALSE(w.btnFit->isEnabled());
    EXPECT_FALSE(w.TabSheet3->MeasuredSurface->isVisible());
    EXPECT_FALSE(w.RemoveLogAction->isEnabled());
}
