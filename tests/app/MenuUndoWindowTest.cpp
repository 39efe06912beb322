// The menu bar and undo: every command reachable by its mnemonic, undo and
// redo across the fields, an opened scenario undone as one step.
#include "tests/app/WindowFixtures.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <set>

using namespace brennic;

namespace {

// The letter after "&" in a menu's text ("" when there is none).
QChar Mnemonic(const QString& text)
{
    const qsizetype at = text.indexOf(u'&');
    return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
}

void Settle()
{
    QCoreApplication::processEvents();
}

}  // namespace

TEST(MenuBar, EveryCommandHasAMnemonicOfItsOwn)
{
    Window f;
    TFrmBrennic& w = f.w;
    QStringList titles;
    for (QAction* top : w.MenuBar->actions()) titles << top->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&Run", "&View", "&Help"}));
    for (QAction* top : w.MenuBar->actions()) {
        std::set<QChar> letters;
        for (QAction* a : top->menu()->actions()) {
            if (a->isSeparator())
                continue;
            const QChar m = Mnemonic(a->text());
            EXPECT_FALSE(m.isNull()) << top->text().toStdString() << ": " << a->text().toStdString();
            EXPECT_TRUE(letters.insert(m).second)
                << top->text().toStdString() << ": '" << QString(m).toStdString() << "' twice";
        }
    }
    // The controls keep the places they have always had, below the bar.
    EXPECT_EQ(w.btnRun->mapTo(&w, QPoint()).y(), 149 + w.MenuBar->height());
}

TEST(MenuBar, UndoAndRedoGoAcrossTheFields)
{
    Window f;
    TFrmBrennic& w = f.w;
    const QString thickness = w.edtThickness->text(), step = w.edtTimeStep->text();
    EXPECT_FALSE(w.UndoAction->isEnabled());
    w.edtThickness->setFocus();
    w.edtThickness->selectAll();
    QTest::keyClicks(w.edtThickness, "40");  // two keys, one step
    Settle();
    w.edtTimeStep->setFocus();
    w.edtTimeStep->selectAll();
    QTest::keyClicks(w.edtTimeStep, "5");
    Settle();
    // A change the program makes is no step of the user's.
    w.SetFieldText(fDewPoint, QStringLiteral("-3"));
    Settle();
    EXPECT_EQ(w.UndoAction->text(), QStringLiteral("&Undo %1").arg(w.Label6->text().chopped(1)));

    // Ctrl+Z in the thickness field undoes the time step typed last.
    w.edtThickness->setFocus();
    QTest::keyClick(w.edtThickness, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.edtTimeStep->text(), step);
    EXPECT_EQ(w.edtThickness->text(), "40");
    QTest::keyClick(w.edtThickness, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.edtThickness->text(), thickness);
    EXPECT_EQ(w.FieldText(fDewPoint), "-3") << "what the program set stays";
    EXPECT_FALSE(w.UndoAction->isEnabled());
    QTest::keyClick(w.edtThickness, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.edtThickness->text(), "40");
    EXPECT_TRUE(w.RedoAction->isEnabled());
    // A new edit forgets what could be redone.
    w.cmbMaterial->setCurrentIndex(2);
    emit w.cmbMaterial->activated(2);
    Settle();
    EXPECT_FALSE(w.RedoAction->isEnabled());
    w.UndoAction->trigger();
    EXPECT_EQ(w.cmbMaterial->currentIndex(), 0);
}

TEST(MenuBar, AnOpenedScenarioIsOneStepAndRunsLockTheHistory)
{
    ErrorCapture errors;
    QTemporaryDir dir;
    Window f;
    TFrmBrennic& w = f.w;
    w.DiscardPrompt = [] { return TFrmBrennic::TUnsavedAnswer::Discard; };
    w.edtThickness->setText("38");
    w.edtElementCount->setText("20");
    Settle();
    w.OpenScenario(Write(dir, "s.brennic", "thickness = 10\nelements = 12\nmaterial = BK7\n"));
    Settle();
    ASSERT_EQ(w.edtThickness->text(), "10");
    EXPECT_EQ(w.UndoAction->text(), "&Undo Open scenario");
    w.UndoAction->trigger();
    EXPECT_EQ(w.edtThickness->text(), "38");
    EXPECT_EQ(w.edtElementCount->text(), "20");
    EXPECT_EQ(w.cmbMaterial->currentIndex(), 0);

    // While a run holds the inputs, nothing is undone.
    w.edtTimeInterval->setText("100000");
    w.RedoAction->trigger();
    ASSERT_EQ(w.edtThickness->text(), "10");
    w.btnRun->click();
    ASSERT_TRUE(w.Running());
    EXPECT_FALSE(w.UndoAction->isEnabled());
    w.UndoInputs();
    EXPECT_EQ(w.edtThickness->text(), "10");
    w.btnCancel->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Running(); }, 10000));
    EXPECT_TRUE(w.UndoAction->isEnabled());
    EXPECT_TRUE(errors.messages.empty());
}

// View, Compare runs: each kept run's change and its ready times with the
// difference to the current run, later with a "+", sooner with a "−".
TEST(MenuBar, CompareRunsGivesTheDifferenceToTheCurrentRun)
{
    Window f;
    TFrmBrennic& w = f.w;
    w.edtThickness->setText("25");
    w.edtTimeInterval->setText("180");
    RunAndWait(w);
    w.btnKeepRun->click();
    w.edtFrontFanFlow->setText("25");
    RunAndWait(w);
    const TComparisonTable t = w.RunsCompared();
    ASSERT_EQ(t.Rows.size(), 2u);
    EXPECT_EQ(t.Header[2], "Surface \u2264 1.00 \u00b0C");
    EXPECT_EQ(t.Rows[1][1], "front film 10");
    const double kept = *w.Kept.Runs()[0].Readiness.ReadyFrom(TReadiness::Surface, 0) / 60;
    const double now = *w.Record.Readiness.ReadyFrom(TReadiness::Surface, 0) / 60;
    ASSERT_GT(kept, now + 1) << "the fan makes the mirror ready sooner";
    EXPECT_EQ(t.Rows[0][2], FixedText(now, 1, u'.') + " min");
    EXPECT_EQ(t.Rows[1][2], FixedText(kept, 1, u'.') + " min (+" + FixedText(kept - now, 1, u'.') + ")");
    const std::string text = ComparisonText(t);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), 3 * std::ptrdiff_t(t.Header.size() - 1));
}

// View, Inputs: the pages take the window's height, the keys still run, and
// a refused field brings the inputs back with the field in view.
TEST(MenuBar, HiddenInputsGiveThePagesTheHeight)
{
    ErrorCapture errors;
    Window f;
    TFrmBrennic& w = f.w;
    w.PageControl1->setCurrentIndex(EvolutionPage);
    const int shownHeight = w.PageControl1->height();
    w.InputsAction->trigger();
    EXPECT_FALSE(w.grpMirror->isVisible());
    EXPECT_FALSE(w.btnRun->isVisible());
    EXPECT_EQ(w.PageControl1->y(), 8);
    EXPECT_EQ(w.PageControl1->height(), shownHeight + 176);
    w.edtTimeInterval->setText("30");
    QTest::keyClick(&w, Qt::Key_F5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.ResultLines->Count() > 1 && !w.Running(); }, 10000));
    EXPECT_FALSE(w.grpMirror->isVisible());
    w.edtThickness->setText("-5");
    QTest::keyClick(&w, Qt::Key_F5);
    EXPECT_TRUE(w.grpMirror->isVisible());
    EXPECT_TRUE(w.InputsAction->isChecked());
    EXPECT_EQ(w.PageControl1->y(), 184);
    EXPECT_TRUE(w.edtThickness->hasFocus());
    EXPECT_EQ(errors.messages.size(), 1u);
}
