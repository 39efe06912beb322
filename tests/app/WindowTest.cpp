#include "app/gui/ErrorReport.h"
#include "app/gui/MainOrvalis.h"
#include "app/gui/StripView.h"
#include "support/LibPlatform.h"

#include <QMenuBar>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

#include <cstdlib>

using namespace brennic;

#include "tests/app/WindowFixtures.h"

namespace {

std::u16string Line(const TFrmBrennic& w, int i)
{
    return w.ResultLines->Get(i);
}

}  // namespace

TEST(Window, StartUpState)
{
    Window f;
    TFrmBrennic& w = f.w;
    EXPECT_EQ(w.windowTitle(), "Telescope Brennic");
    // The client area below the menu bar has the design size.
    EXPECT_EQ(w.Client->size(), QSize(855, 671));
    EXPECT_EQ(w.Client->y(), w.MenuBar->height());
    EXPECT_EQ(w.PageControl1->currentIndex(), 0);
    EXPECT_EQ(w.PageControl1->tabText(0), "Temperate Profile");
    EXPECT_EQ(w.PageControl1->tabText(1), "Temperature Evolution");
    EXPECT_TRUE(w.btnRun->isEnabled());
    EXPECT_FALSE(w.btnCancel->isEnabled());
    EXPECT_FALSE(w.btnExportCSV->isEnabled());
    EXPECT_TRUE(w.btnHelp->isEnabled());
    EXPECT_EQ(w.ResultLines->Count(), 0);
    EXPECT_EQ(w.StripMap->Width(), 0);

    struct Field {
        const char* name;
        const char* text;
        const char* caption;
    };
    const Field fields[] = {
        {"edtThickness", "50.8", "Mirror Thickness:"},
        {"edtInitialMirrorTemp", "20", "Initial Mirror Temperature:"},
        {"edtElementCount", "50", "Mirror Elements:"},
        {"edtFrontFanFlow", "10", "Front Film Coefficient:"},
        {"edtFrontRadiation", "0.04", "Front Radiation:"},
        {"edtBackFanFlow", "10", "Back Film Coefficient:"},
        {"edtBackRadiation", "0", "Back Radiation:"},
        {"edtInitialAirTemp", "10", "Initial Air Temperature:"},
        {"edtFinalAirTemp", "10", "Final Air Temperature:"},
        {"edtTimeInterval", "120", "Simulation Duration:"},
        {"edtTimeStep", "10", "Time Step:"},
    };
    const auto labels = w.findChildren<QLabel*>();
    for (const auto& f : fields) {
        auto* edit = w.findChild<QLineEdit*>(f.name);
        ASSERT_NE(edit, nullptr) << f.name;
        EXPECT_EQ(edit->text(), f.text) << f.name;
        EXPECT_EQ(edit->size(), QSize(61, 21)) << f.name;
        const auto caption = std::find_if(labels.begin(), labels.end(), [&](QLabel* l) { return l->buddy() == edit; });
        ASSERT_NE(caption, labels.end()) << f.name;
        EXPECT_EQ((*caption)->text(), f.caption);
    }
    QStringList materials;
    for (int i = 0; i < w.cmbMaterial->count(); ++i) materials << w.cmbMaterial->itemText(i);
    EXPECT_EQ(materials, QStringList({"Pyrex", "Plate glass", "BK7", "Fused silica", "Zerodur", "Suprax"}));
    EXPECT_EQ(w.cmbMaterial->currentIndex(), 0);
    EXPECT_FALSE(w.cmbMaterial->isEditable());

    EXPECT_EQ(w.grpMirror->title(), " Mirror Properties ");
    EXPECT_EQ(w.grpHeatTransfer->geometry(), QRect(270, 8, 256, 129));
    EXPECT_EQ(w.btnHelp->geometry(), QRect(665, 149, 102, 25));
    EXPECT_EQ(w.PageControl1->geometry(), QRect(8, 184, 839, 462));
    EXPECT_EQ(w.StatusBar1->geometry(), QRect(0, 652, 855, 19));
    EXPECT_EQ(w.StatusBar1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(w.Chart1->chart()->title(), "Temperature Evolution");
    EXPECT_EQ(w.Chart4->chart()->title(), "Temperature Profile");
    EXPECT_EQ(w.LineSeries1->name(), "Core Temp.");
    EXPECT_EQ(w.Series1->pen().color(), QColor(0, 128, 0));
    EXPECT_EQ(w.Series3->pen().color(), QColor(0, 255, 0));
    EXPECT_EQ(w.StaticText1->text(), "Mirror Front (Optical Surface)");

    // Hints, exact, shown for 20 s.
    EXPECT_EQ(w.edtFrontRadiation->toolTip(), "Use 0.04 for an optical surface with aluminum coating");
    EXPECT_EQ(w.edtBackRadiation->toolTip(), "Usually zero (mirror back doesn't radiate to the sky)");
    EXPECT_EQ(w.edtFinalAirTemp->toolTip(), w.edtInitialAirTemp->toolTip());
    const QStringList film = w.edtFrontFanFlow->toolTip().split("\r\n");
    ASSERT_EQ(film.size(), 11);
    EXPECT_EQ(film[0], "For natural convection without fans the film coefficients lie between 5");
    EXPECT_EQ(film[5], "");
    EXPECT_EQ(film[10], "telescope.");
    EXPECT_EQ(w.edtBackFanFlow->toolTip(), w.edtFrontFanFlow->toolTip());
    EXPECT_EQ(w.edtFrontFanFlow->toolTipDuration(), 20000);
    EXPECT_TRUE(w.edtThickness->toolTip().isEmpty());

    // Tab order: the rows of the groups, then the commands.
    QStringList chain;
    QWidget* at = w.edtThickness;
    for (int i = 0; i < 30 && at; ++i) {
        chain << at->objectName();
        do at = at->nextInFocusChain();
        while (at != w.edtThickness && (at->objectName().isEmpty() || at->focusPolicy() == Qt::NoFocus ||
                                        at->objectName().startsWith("qt_") || !at->isEnabled() || !at->isVisible()));
    }
    EXPECT_EQ(chain.mid(0, 13),
              QStringList({"edtThickness", "edtInitialMirrorTemp", "cmbMaterial", "edtElementCount", "edtFrontFanFlow",
                           "edtFrontRadiation", "edtBackFanFlow", "edtBackRadiation", "edtInitialAirTemp",
                           "edtFinalAirTemp", "edtTimeInterval", "edtTimeStep", "btnRun"}));
    // After the pages (and what they hold), the row beside the page tabs in
    // the order it is seen (Fit waits for a log), then Help.
    qsizetype last = -1;
    for (const char* name : {"PageControl1", "btnFile", "btnSweep", "btnMeasured", "cmbAirSource", "btnHelp"}) {
        const qsizetype at = chain.indexOf(QString::fromLatin1(name));
        EXPECT_GT(at, last) << name << " in " << chain.join(' ').toStdString();
        last = at;
    }
}

TEST(Window, F1OpensHelpOnceFromAnyControl)
{
    ShellCapture shell;
    Window f;
    TFrmBrennic& w = f.w;
    int reached = 0;
    struct Spy : QObject {
        int* count;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1)
                ++*count;
            return false;
        }
    };
    QWidget* targets[] = {w.edtThickness, w.cmbMaterial, w.btnRun, w.PageControl1, w.edtTimeStep};
    const Qt::KeyboardModifiers mods[] = {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier,
                                          Qt::ShiftModifier | Qt::ControlModifier};
    int expected = 0;
    for (QWidget* t : targets)
        for (auto m : mods) {
            Spy spy;
            spy.count = &reached;
            t->installEventFilter(&spy);
            t->setFocus();
            QTest::keyClick(t, Qt::Key_F1, m);
            t->removeEventFilter(&spy);
            ++expected;
            ASSERT_EQ(shell.opened.size(), expected) << t->objectName().toStdString() << " " << int(m);
        }
    EXPECT_EQ(reached, 0) << "F1 reached a control";
    EXPECT_EQ(shell.opened.first(), HelpAddress());
    // Other keys still reach the controls.
    w.edtThickness->setFocus();
    w.edtThickness->selectAll();
    QTest::keyClicks(w.edtThickness, "63.5");
    EXPECT_EQ(w.edtThickness->text(), "63.5");
    // The button and the status bar open it once each; no chooser.
    w.btnHelp->click();
    QTest::mouseClick(w.StatusBar1, Qt::LeftButton, {}, QPoint(40, 8));
    EXPECT_EQ(shell.opened.size(), expected + 2);
    QTest::qWait(10);
    EXPECT_TRUE(shell.chosen.isEmpty());
}

TEST(Window, HelpFallsBackToChooserOnlyWithoutAssociation)
{
    ShellCapture shell;
    shell.associated = false;
    Window f;
    f.w.btnHelp->click();
    EXPECT_TRUE(shell.chosen.isEmpty());  // decided later, from the event loop
    QTest::qWait(20);
    EXPECT_EQ(shell.chosen, QStringList({HelpAddress()}));
    EXPECT_EQ(shell.opened.size(), 1);
}

TEST(Window, HelpPageShipsBesideTheProgram)
{
    const QUrl url(HelpAddress());
    ASSERT_TRUE(url.isLocalFile());
    QFile page(url.toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << url.toLocalFile().toStdString();
    const QString html = QString::fromUtf8(page.readAll());
    for (const char* topic : {"Film coefficient", "Emissivity", "T_Core", "colour strip", "Time Step"})
        EXPECT_TRUE(html.contains(QLatin1String(topic), Qt::CaseInsensitive)) << topic;
}

TEST(Window, DefaultRunRecordsEverything)
{
    Window f;
    TFrmBrennic& w = f.w;
    RunAndWait(w);
    EXPECT_EQ(w.Solver->Thickness, 0.0508);
    EXPECT_EQ(w.Solver->Duration, 7200);
    EXPECT_EQ(w.Solver->TimeStep, 10);
    EXPECT_EQ(w.Solver->Conductivity, 1.13);
    for (QChartView* v : {w.Chart1, w.Chart4}) {
        EXPECT_EQ(AxisOf(v, Qt::Vertical)->min(), 9);
        EXPECT_EQ(AxisOf(v, Qt::Vertical)->max(), 21);
    }
    EXPECT_EQ(AxisOf(w.Chart1, Qt::Horizontal)->min(), 0);
    EXPECT_EQ(AxisOf(w.Chart1, Qt::Horizontal)->max(), 120);
    EXPECT_EQ(w.StripMap->Width(), 721);
    EXPECT_EQ(w.StripMap->Height(), 50);
    ASSERT_EQ(w.ResultLines->Count(), 722);
    EXPECT_EQ(Line(w, 0), u"\"Time\",\"T_Ambient\",\"T_Surface\",\"T_Back\",\"T_Core\"");
    EXPECT_EQ(Line(w, 1), u"0,10,20,20,20");
    EXPECT_EQ(Line(w, 721).substr(0, 13), u"7200,10,11.36");
    EXPECT_TRUE(w.btnRun->isEnabled());
    EXPECT_FALSE(w.btnCancel->isEnabled());
    EXPECT_TRUE(w.btnExportCSV->isEnabled());

    // Curves: one point per report, from minute 0 to 120.
    for (QLineSeries* s : {w.LineSeries1, w.Series1, w.Series2, w.Series3}) {
        const auto& pts = w.Curve(s).Points();
        ASSERT_EQ(pts.size(), 721u);
        EXPECT_EQ(pts.front().x, 0);
        EXPECT_EQ(pts.back().x, 120);
        // What the chart draws is decimated but spans the same range.
        ASSERT_GT(s->count(), 0);
        EXPECT_LE(s->count(), 2 * std::max(w.Chart1->width(), int(w.Chart1->chart()->plotArea().width())) + 2);
        EXPECT_EQ(s->at(0).x(), 0);
        EXPECT_EQ(s->at(s->count() - 1).x(), 120);
    }
    EXPECT_EQ(w.Curve(w.LineSeries1).Points().front().y, 20);
    EXPECT_EQ(w.Curve(w.Series1).Points().back().y, 10);
    EXPECT_EQ(w.Chart4->chart()->title(), "Temperature Profile - Time 7200 sec");
    EXPECT_EQ(w.LineSeries3->count(), 50);
    EXPECT_DOUBLE_EQ(w.LineSeries3->at(0).x(), 0.508);
    EXPECT_DOUBLE_EQ(w.LineSeries3->at(49).x(), 50.292);
    // Every column of the strip is coloured; none is background.
    for (int c : {0, 360, 720})
        for (int r = 0; r < 50; ++r) ASSERT_NE(w.StripMap->Value(c, r), 0) << c << "," << r;
    for (int r = 0; r < 50; ++r) EXPECT_EQ(w.StripMap->Value(0, r), 255);  // 10 C apart at the start
}

TEST(Window, FirstCallShowsTheInitialState)
{
    Window f;
    TFrmBrennic& w = f.w;
    RunAndWait(w);  // a period of 0 after one of 120 minutes shows its own axis
    w.edtTimeInterval->setText("0");
    RunAndWait(w);
    ASSERT_EQ(w.ResultLines->Count(), 2);
    EXPECT_EQ(Line(w, 1), u"0,10,20,20,20");
    EXPECT_EQ(w.StripMap->Width(), 1);
    EXPECT_EQ(w.Chart4->chart()->title(), "Temperature Profile - Time 0 sec");
    ASSERT_EQ(w.LineSeries3->count(), 50);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(w.LineSeries3->at(i).y(), 20);
    EXPECT_DOUBLE_EQ(w.LineSeries3->at(0).x(), 0.508);
    EXPECT_EQ(AxisOf(w.Chart1, Qt::Horizontal)->max(), 0);
    for (QLineSeries* s : {w.LineSeries1, w.Series1, w.Series2, w.Series3}) EXPECT_EQ(w.Curve(s).Points().size(), 1u);
}

TEST(Window, InputConversionCases)
{
    ErrorCapture errors;
    Window f;
    TFrmBrennic& w = f.w;
    w.edtTimeInterval->setText("2.5");
    w.edtElementCount->setText(" 50");
    RunAndWait(w);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join("|").toStdString();
    EXPECT_EQ(w.Solver->Duration, 150);
    EXPECT_EQ(w.Solver->ElementCount, 50);
    EXPECT_EQ(AxisOf(w.Chart1, Qt::Horizontal)->max(), 2.5);
    w.edtElementCount->setText("$32");
    w.edtInitialMirrorTemp->setText("5");
    w.edtInitialAirTemp->setText("12");
    w.edtFinalAirTemp->setText("-3");
    RunAndWait(w);
    EXPECT_EQ(w.Solver->ElementCount, 50);
    EXPECT_EQ(AxisOf(w.Chart1, Qt::Vertical)->min(), -4);
    EXPECT_EQ(AxisOf(w.Chart4, Qt::Vertical)->max(), 13);

    struct Bad {
        QLineEdit* edit;
        const char* text;
        const char* message;
    };
    const Bad bad[] = {
        {w.edtThickness, "abc", "'abc' is not a valid floating point value."},
        {w.edtElementCount, "50.0", "''50.0'' is not a valid integer value."},
        {w.edtFrontRadiation, "0,04", "'0,04' is not a valid floating point value."},
        {w.edtTimeStep, "", "'' is not a valid floating point value."},
    };
    for (const auto& b : bad) {
        const QString keep = b.edit->text();
        b.edit->setText(b.text);
        errors.messages.clear();
        RunAndWait(w);
        EXPECT_EQ(errors.messages, QStringList({b.message}));
        b.edit->setText(keep);
    }
    // With a comma as decimal separator the comma form is the accepted one.
    w.Regional = {u',', u';'};
    w.edtTimeInterval->setText("2,5");
    w.edtFrontRadiation->setText("0,04");
    w.edtThickness->setText("50,8");
    errors.messages.clear();
    RunAndWait(w);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join("|").toStdString();
    EXPECT_EQ(w.Solver->FrontRadiation, 0.04);
    EXPECT_EQ(Line(w, 0), u"\"Time\";\"T_Ambient\";\"T_Surface\";\"T_Back\";\"T_Core\"");
    EXPECT_EQ(Line(w, 1), u"0;12;5;5;12");
    w.edtFrontRadiation->setText("0.04");
    RunAndWait(w);
    EXPECT_EQ(errors.messages.last(), "'0.04' is not a valid floating point value.");
}

TEST(Window, CommaLocaleDefaults)
{
    Window f;
    TFrmBrennic& w = f.w;
    if (w.Regional.DecimalSeparator != u',')
        GTEST_SKIP() << "runs under a comma-decimal locale (registered so with ctest)";
    EXPECT_EQ(w.edtThickness->text(), "50,8");
    EXPECT_EQ(w.edtFrontRadiation->text(), "0,04");
    EXPECT_EQ(w.edtFrontRadiation->toolTip(), "Use 0,04 for an optical surface with aluminum coating");
    EXPECT_EQ(w.Regional.ListSeparator, u';');
    w.edtTimeInterval->setText("10");
    RunAndWait(w);
    EXPECT_EQ(Line(w, 1), u"0;10;20;20;20");
    EXPECT_EQ(Line(w, 61).substr(0, 12), u"600;10;17,96");
    // The charts' numbers and the readout in the same form.
    for (QChartView* v : {static_cast<QChartView*>(w.Chart1), static_cast<QChartView*>(w.Chart4)}) {
        EXPECT_TRUE(v->chart()->localizeNumbers());
        EXPECT_EQ(v->chart()->locale().decimalPoint(), ",");
    }
    EXPECT_TRUE(w.TabSheet3->Readout->text().contains("\u2264&nbsp;0,5")) << w.TabSheet3->Readout->text().toStdString();
    // Lists take comma decimals with semicolons between the items.
    EXPECT_EQ(w.FieldText(fSeeing), "0,5;0,25;0,1");
    w.SetFieldText(fSeeing, "0,4;0,2");
    RunAndWait(w);
    EXPECT_TRUE(w.TabSheet3->Readout->text().contains("seeing \u2264 0,4\u2033")) << w.TabSheet3->Readout->text().toStdString();
    w.SetFieldText(fSeeing, "0,4,0,2");
    ErrorCapture errors;
    RunAndWait(w);
    ASSERT_EQ(errors.messages.size(), 1);
    EXPECT_TRUE(errors.messages[0].contains("'0,4,0,2' is not a list of numbers such as 0,5;0,25;0,1"))
        << errors.messages[0].toStdString();
}

TEST(Window, RefusedRunLeavesPreviousResults)
{
    ErrorCapture errors;
    Window f;
    TFrmBrennic& w = f.w;
    RunAndWait(w);
    ASSERT_EQ(w.ResultLines->Count(), 722);
    const std::u16string text = w.ResultLines->GetTextStr();
    const std::vector<std::uint8_t> strip(w.StripMap->Bits(), w.StripMap->Bits() + 721 * 50);
    const QString title = w.Chart4->chart()->title();

    struct Bad {
        QLineEdit* edit;
        const char* text;
        const char* field;
    };
    const Bad bad[] = {
        {w.edtTimeStep, "0", "\"Time Step\" is 0"},
        {w.edtTimeStep, "-10", "\"Time Step\" is -10"},
        {w.edtElementCount, "0", "\"Mirror Elements\" is 0"},
        {w.edtTimeInterval, "-5", "\"Simulation Duration\" is -5"},
        {w.edtThickness, "0", "\"Mirror Thickness\" is 0"},
        {w.edtThickness, "abc", "'abc' is not"},
        {w.edtTimeStep, "0.00001", "The run is too large"},
        {w.edtBackFanFlow, "-1", "\"Back Film Coefficient\" is -1"},
        {w.edtFrontRadiation, "1.2", "\"Front Radiation\" is 1.2: it must be between 0 and 1"},
        {w.edtInitialAirTemp, "-280", "\"Initial Air Temperature\" is -280: it must be between -273 and 1000"},
        // With no step at all, the solver's arrays and the profile still count.
        {w.edtElementCount, "50000000", "The run is too large"},
        {w.edtElementCount, "400000000", "The run is too large"},
        {w.edtThickness, "1", "\"Time Step\" is 3600: the faces' radiation"},
    };
    for (const auto& b : bad) {
        const QString keep = b.edit->text();
        b.edit->setText(b.text);
        const bool noStep = b.edit == w.edtElementCount && QString(b.text).size() > 6;
        const bool radiating = b.edit == w.edtThickness && QString(b.text) == "1";
        if (noStep)
            w.edtTimeInterval->setText("0");
        if (radiating) {
            w.edtTimeStep->setText("3600");
            w.edtFrontRadiation->setText("1");
            w.edtFrontFanFlow->setText("0");
            w.edtBackFanFlow->setText("0");
        }
        errors.messages.clear();
        RunAndWait(w);
        ASSERT_EQ(errors.messages.size(), 1) << b.text;
        EXPECT_TRUE(errors.messages[0].startsWith(b.field)) << errors.messages[0].toStdString();
        EXPECT_EQ(w.ResultLines->GetTextStr(), text) << b.text;
        EXPECT_EQ(w.StripMap->Width(), 721);
        EXPECT_TRUE(std::equal(strip.begin(), strip.end(), w.StripMap->Bits()));
        EXPECT_EQ(w.Curve(w.LineSeries1).Points().size(), 721u);
        EXPECT_EQ(AxisOf(w.Chart1, Qt::Horizontal)->max(), 120);
        EXPECT_EQ(w.Chart4->chart()->title(), title);
        EXPECT_TRUE(w.btnRun->isEnabled());
        EXPECT_TRUE(w.btnExportCSV->isEnabled());
        EXPECT_FALSE(w.btnCancel->isEnabled());
        b.edit->setText(keep);
        w.edtTimeInterval->setText("120");
        w.edtTimeStep->setText("10");
        w.edtFrontRadiation->setText("0.04");
        w.edtFrontFanFlow->setText("10");
        w.edtBackFanFlow->setText("10");
    }
}

TEST(Window, AirWarmerThanGlassPutsCoreOnAir)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.edtInitialMirrorTemp->setText("5");
    w.edtInitialAirTemp->setText("15");
    w.edtFinalAirTemp->setText("15");
    w.edtFrontRadiation->setText("0");
    RunAndWait(w);
    EXPECT_EQ(w.Curve(w.LineSeries1).Points(), w.Curve(w.Series1).Points());
}

TEST(Window, OneElementDrawsOnePointAndOneRow)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.edtElementCount->setText("1");
    RunAndWait(w);
    EXPECT_EQ(w.LineSeries3->count(), 1);
    EXPECT_DOUBLE_EQ(w.LineSeries3->at(0).x(), 25.4);
    EXPECT_EQ(w.StripMap->Height(), 1);
    EXPECT_EQ(w.ResultLines->Count(), 722);
}

TEST(Window, ExtremeInputsNeverBreakTheWindow)
{
    ErrorCapture errors;
    Window f;
    TFrmBrennic& w = f.w;
    struct Case {
        QLineEdit* edit;
        const char* text;
    };
    const Case cases[] = {
        {w.edtFrontRadiation, "1e300"},  {w.edtFrontFanFlow, "1e300"}, {w.edtInitialMirrorTemp, "1e300"},
        {w.edtInitialAirTemp, "-1e300"}, {w.edtTimeInterval, "1e-9"},  {w.edtThickness, "1e-200"},
        {w.edtThickness, "1e200"},       {w.edtTimeStep, "1e300"},     {w.edtElementCount, "100000"},
    };
    for (const auto& c : cases) {
        const QString keep = c.edit->text();
        c.edit->setText(c.text);
        w.edtTimeInterval->setText(c.edit == w.edtTimeInterval ? c.text : "5");
        errors.messages.clear();
        RunAndWait(w);
        EXPECT_TRUE(w.btnRun->isEnabled()) << c.text;
        EXPECT_FALSE(w.btnCancel->isEnabled()) << c.text;
        EXPECT_FALSE(w.Running());
        // Either a clear refusal, or a completed run with every row recorded.
        if (errors.messages.isEmpty())
            EXPECT_EQ(w.ResultLines->Count(), int(w.Curve(w.LineSeries1).Points().size()) + 1) << c.text;
        else
            EXPECT_EQ(errors.messages.size(), 1) << c.text;
        c.edit->setText(keep);
    }
    w.edtTimeInterval->setText("120");
}

TEST(Window, StripViewAveragesColumnsItCannotShow)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.edtTimeStep->setText("1");  // 7201 columns on a view under 800 pixels wide
    w.PageControl1->setCurrentIndex(1);
    RunAndWait(w);
    const QImage pixels = w.ImgView321->Pixels();
    EXPECT_EQ(pixels.width(), w.ImgView321->width());
    EXPECT_EQ(pixels.height(), 50);
    // The first pixel averages the first columns, all fully red.
    EXPECT_EQ(pixels.pixel(0, 0), 0xFFFF3333u);
    // A pixel in the middle averages its columns' colours.
    const int x = pixels.width() / 2;
    const int first = int(std::int64_t(x) * 7201 / pixels.width() + 1);
    std::uint32_t red = 0, n = 0;
    for (int c = first; c < 7201 && int(std::int64_t(c) * pixels.width() / 7201) == x; ++c, ++n)
        red += (w.StripPalette[w.StripMap->Value(c, 10)] >> 16) & 0xFF;
    ASSERT_GT(n, 5u);
    EXPECT_NEAR(qRed(pixels.pixel(x, 10)), double(red) / n, 3);
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings the tests write (a remembered place) go to a folder of their own.
    char config[] = "/tmp/brennic-settings-XXXXXX";
    qputenv("XDG_CONFIG_HOME", ::mkdtemp(config));
    TBrennicApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brennic"));
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(config);
    return result;
}
