// The air from a file in the window: chosen, shown, run, and given up.
#include "app/gui/AirFileDialog.h"
#include "app/gui/AirSourceBar.h"
#include "tests/app/WindowFixtures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <fstream>

using namespace brennic;

namespace {

const char* const Forecast =
    "latitude,longitude\n52.5,13.4\n\ntime,temperature_2m (\xC2\xB0"
    "C),dew_point_2m (\xC2\xB0"
    "C)\n"
    "2026-12-08T17:00,6.2,5.0\n2026-12-08T18:00,5.1,4.9\n2026-12-08T19:00,3.9,4.7\n2026-12-08T20:00,3.2,4.5\n";

}  // namespace

TEST(AirFileWindow, AFileDrivesTheRunAndTheRampComesBack)
{
    ErrorCapture errors;
    QTemporaryDir dir;
    const QString path = Write(dir, "forecast.csv", Forecast);
    Window f;
    TFrmBrennic& w = f.w;
    w.UseAirFile({path.toStdString(), "", "18:00", "", "", "", ""}, true);
    EXPECT_EQ(w.edtTimeInterval->text(), "120");  // the rest of the file from 18:00
    EXPECT_FALSE(w.edtInitialAirTemp->isEnabled());
    EXPECT_EQ(w.edtInitialAirTemp->text(), "5.1");
    EXPECT_EQ(w.edtFinalAirTemp->text(), "3.2");
    EXPECT_EQ(w.AirBar->Source->currentText(), "forecast.csv, column temperature_2m, from 2026-12-08 18:00");

    w.PageControl1->setCurrentIndex(EvolutionPage);
    RunAndWait(w);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join("|").toStdString();
    EXPECT_EQ(w.ResultLines->Get(1), u"0,5.1,20,20,20");
    EXPECT_EQ(w.ResultLines->Get(361).substr(0, 9), u"3600,3.9,");
    EXPECT_EQ(w.ResultLines->Get(721).substr(0, 9), u"7200,3.2,");
    EXPECT_EQ(ChartAxis(w.Chart1, Qt::Vertical)->min(), 2.2);  // the file's lowest air, less 1
    EXPECT_TRUE(w.TabSheet3->DewPoint->isVisible());
    EXPECT_TRUE(w.TabSheet3->Readout->text().contains("Air from forecast.csv"));
    // The mirror stays far above this dew point: no risk, and the readout says so.
    EXPECT_TRUE(w.TabSheet3->Readout->text().contains("No dew risk"));
    EXPECT_FALSE(w.TabSheet3->MarkerMinutes()[2].has_value());

    // One action back to the ramp, with the fields as they were.
    emit w.AirBar->rampChosen();
    EXPECT_TRUE(w.edtInitialAirTemp->isEnabled());
    EXPECT_EQ(w.edtInitialAirTemp->text(), "10");
    EXPECT_EQ(w.edtFinalAirTemp->text(), "10");
    EXPECT_EQ(w.AirBar->Source->currentIndex(), 0);
    RunAndWait(w);
    EXPECT_EQ(w.ResultLines->Get(1), u"0,10,20,20,20");
    EXPECT_FALSE(w.TabSheet3->DewPoint->isVisible());
}

TEST(AirFileWindow, DewRiskIsMarked)
{
    QTemporaryDir dir;
    // Dew point close to the air and a bare glass front under a clear sky.
    const QString path = Write(dir, "wet.csv", "time,temp,dew\n2026-12-08T18:00,5,4.8\n2026-12-08T21:00,4,3.9\n");
    Window f;
    TFrmBrennic& w = f.w;
    w.edtInitialMirrorTemp->setText("6");
    w.edtFrontRadiation->setText("0.9");
    w.UseAirFile({path.toStdString(), "", "", "", "", "", ""}, true);
    w.PageControl1->setCurrentIndex(EvolutionPage);
    RunAndWait(w);
    ASSERT_TRUE(w.Record.DewRiskFrom.has_value());
    EXPECT_DOUBLE_EQ(*w.TabSheet3->MarkerMinutes()[2], *w.Record.DewRiskFrom / 60);
    EXPECT_TRUE(w.TabSheet3->Readout->text().contains("Dew risk from")) << w.TabSheet3->Readout->text().toStdString();
    EXPECT_TRUE(w.TabSheet3->Readout->text().contains("(18:")) << w.TabSheet3->Readout->text().toStdString();
}

TEST(AirFileWindow, ARefusedFileChangesNothing)
{
    ErrorCapture errors;
    QTemporaryDir dir;
    const QString bad = Write(dir, "bad.csv", "time,temp\n0,5\n0,6\n");
    Window f;
    TFrmBrennic& w = f.w;
    Guarded([&] { w.UseAirFile({bad.toStdString(), "", "", "", "", "", ""}, true); });
    ASSERT_EQ(errors.messages.size(), 1);
    EXPECT_TRUE(errors.messages[0].startsWith(bad + ", line 3: the time '0' does not come after"))
        << errors.messages[0].toStdString();
    EXPECT_FALSE(w.AirSource);
    EXPECT_TRUE(w.edtInitialAirTemp->isEnabled());
    EXPECT_EQ(w.edtTimeInterval->text(), "120");
    EXPECT_EQ(w.AirBar->Source->currentIndex(), 0);
}

TEST(AirFileWindow, DialogOffersTheFilesColumns)
{
    QTemporaryDir dir;
    const QString path = Write(dir, "forecast.csv", Forecast);
    TAirFileDialog d;
    d.Path->setText(path);
    d.ReadFile();
    EXPECT_EQ(d.AirColumn->count(), 2);
    EXPECT_EQ(d.AirColumn->currentText(), "temperature_2m (\u00b0C)");
    EXPECT_EQ(d.DewColumn->currentText(), "dew_point_2m (\u00b0C)");
    EXPECT_EQ(d.SkyColumn->currentText(), "(none)");
    EXPECT_TRUE(d.Start->isEnabled());
    EXPECT_TRUE(d.Info->text().startsWith("4 rows from 2026-12-08 17:00 to 2026-12-08 20:00")) << d.Info->text().toStdString();
    EXPECT_TRUE(d.Buttons->button(QDialogButtonBox::Ok)->isEnabled());
    const TAirFileChoice c = d.Choice();
    EXPECT_EQ(c.DewColumn, "dew_point_2m (\u00b0C)");
    EXPECT_EQ(c.SkyColumn, "");

    d.Path->setText(dir.filePath("missing.csv"));
    d.ReadFile();
    EXPECT_FALSE(d.Buttons->button(QDialogButtonBox::Ok)->isEnabled());
    EXPECT_TRUE(d.Info->text().contains("cannot be read"));
}
