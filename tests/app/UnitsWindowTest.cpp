// The window in degrees Fahrenheit and inches: the fields convert and keep
// their values, a run is drawn and read out in the units shown, a refusal
// quotes what was typed, and the choice outlives the window.
#include "tests/app/WindowFixtures.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

using namespace brennic;

namespace {

QString Label(TFrmBrennic& w, const char* name)
{
    QLabel* label = w.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("(no label)");
}

}  // namespace

TEST(Units, FieldsChartsAndReadoutsFollowTheChoice)
{
    QTemporaryDir dir;
    Window f;
    TFrmBrennic& w = f.w;
    w.SettingsFile = dir.filePath(QStringLiteral("settings.ini"));
    const TInputTexts before = w.InputTexts();
    w.FahrenheitAction->trigger();
    w.InchAction->trigger();
    QCoreApplication::processEvents();

    // Shown converted, beside their new units; held exactly as they were.
    EXPECT_EQ(w.edtThickness->text(), "2");
    EXPECT_EQ(w.edtInitialMirrorTemp->text(), "68");
    EXPECT_EQ(w.FieldEdit(fDiameter)->text(), "7.87402");
    EXPECT_EQ(Label(w, "Label7"), "in");
    EXPECT_EQ(Label(w, "Label8"), "\u00b0F");
    EXPECT_EQ(Label(w, "lblSiteElevationUnit"), "ft");
    EXPECT_EQ(Label(w, "lblBackFanUnit"), "in, m/s, in");
    EXPECT_TRUE(w.InputTexts() == before) << "a change of units changed an input";
    EXPECT_FALSE(w.Dirty());
    EXPECT_FALSE(w.UndoAction->isEnabled());

    // Typed in degF, run in degC.
    w.edtInitialMirrorTemp->setText(QStringLiteral("86"));
    EXPECT_EQ(w.InputTexts().Text(fInitialMirrorTemp), u"30");
    RunAndWait(w);
    EXPECT_EQ(AxisOf(w.Chart1, Qt::Vertical)->titleText(), "Temperature (\u00b0F)");
    ASSERT_FALSE(w.TabSheet3->Surface->points().isEmpty());
    EXPECT_DOUBLE_EQ(w.TabSheet3->Surface->points().first().y(), 86);
    EXPECT_NE(w.TabSheet3->Headline->text().indexOf("0.9 \u00b0F"), -1) << w.TabSheet3->Headline->text().toStdString();
    EXPECT_NE(w.TabSheet3->Readout->text().indexOf("\u00b0F"), -1);
    EXPECT_EQ(w.TabSheet3->Readout->text().indexOf("\u00b0C"), -1) << w.TabSheet3->Readout->text().toStdString();
    // Negative values with the minus sign, as the window's own words have it.
    EXPECT_NE(w.TabSheet3->Readout->text().indexOf("front\u2212back: \u2212"), -1);
    EXPECT_EQ(w.TabSheet3->Readout->text().indexOf(QRegularExpression("-[0-9]")), -1);
    EXPECT_EQ(AxisOf(w.Chart4, Qt::Horizontal)->titleText(), "Position from the front (in)");
    ASSERT_FALSE(w.TabSheet1->Curve().Points().empty());
    EXPECT_DOUBLE_EQ(w.TabSheet1->Curve().Points().back().x, w.Record.Profile.back().x / 25.4);
    EXPECT_DOUBLE_EQ(w.TabSheet1->Curve().Points().back().y, w.Record.Profile.back().y * 1.8 + 32);
    // Back to degC: the curves are drawn again from the run, not converted twice.
    w.FahrenheitAction->trigger();
    EXPECT_DOUBLE_EQ(w.TabSheet3->Surface->points().first().y(), 30);
    EXPECT_EQ(AxisOf(w.Chart1, Qt::Vertical)->titleText(), "Temperature (\u00b0C)");
    w.FahrenheitAction->trigger();

    // A refusal gives the value as typed and what the run saw.
    ErrorCapture errors;
    w.FieldEdit(fDiameter)->setText(QStringLiteral("0.2"));
    RunAndWait(w);
    ASSERT_EQ(errors.messages.size(), 1);
    EXPECT_NE(errors.messages[0].indexOf("\"Mirror Diameter\" is 0.2 in (5.08 mm)"), -1)
        << errors.messages[0].toStdString();

    // The choice is kept: another window opens in degF and inches.
    Window g;
    g.w.SettingsFile = w.SettingsFile;
    g.w.LoadDisplayUnits();
    EXPECT_TRUE(g.w.Units == w.Units);
    EXPECT_EQ(g.w.edtInitialMirrorTemp->text(), "68");
    // And back: the untouched fields read as they were typed.
    w.FahrenheitAction->trigger();
    w.InchAction->trigger();
    EXPECT_EQ(w.edtThickness->text(), "50.8");
    EXPECT_EQ(w.edtInitialMirrorTemp->text(), "30");
    EXPECT_EQ(w.FieldEdit(fDiameter)->text(), "5.08");
}
