// The menu bar above the client area: every command of the window with its
// mnemonic and shortcut. Keys the window handles itself (F1, F5, Escape)
// are shown beside their commands, not taken twice.
#include "app/gui/MainOrvalis.h"

#include "app/gui/ErrorReport.h"
#include "app/gui/ProfilePage.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>

namespace brennic {

namespace {

// A command that clicks a button when the button could be clicked.
QAction* Clicks(QMenu* menu, const QString& text, QPushButton* button)
{
    QAction* a = menu->addAction(text, button, [button] {
        if (button->isEnabled())
            button->click();
    });
    QObject::connect(menu, &QMenu::aboutToShow, a, [a, button] { a->setEnabled(button->isEnabled()); });
    return a;
}

// A checkable command that stays in step with a check box.
QAction* Mirrors(QMenu* menu, const QString& text, QCheckBox* box)
{
    QAction* a = menu->addAction(text);
    a->setCheckable(true);
    a->setChecked(box->isChecked());
    QObject::connect(a, &QAction::toggled, box, &QCheckBox::setChecked);
    QObject::connect(box, &QCheckBox::toggled, a, &QAction::setChecked);
    return a;
}

}  // namespace

void TFrmBrennic::CreateMenuBar()
{
    MenuBar = new QMenuBar(this);
    MenuBar->setObjectName(QStringLiteral("MenuBar"));
    MenuBar->setNativeMenuBar(false);  // in the window, where the layout expects it
    auto guarded = [this](auto handler) { return [this, handler] { Guarded([this, handler] { handler(); }); }; };

    FileMenu->setTitle(QStringLiteral("&File"));
    MenuBar->addMenu(FileMenu);

    QMenu* edit = MenuBar->addMenu(QStringLiteral("&Edit"));
    UndoAction = edit->addAction(QStringLiteral("&Undo"), this, guarded([this] { UndoInputs(); }));
    UndoAction->setShortcut(QKeySequence::Undo);
    RedoAction = edit->addAction(QStringLiteral("&Redo"), this, guarded([this] { RedoInputs(); }));
    RedoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addSeparator();
    Clicks(edit, QStringLiteral("&Keep for comparison"), btnKeepRun);
    Clicks(edit, QStringLiteral("&Clear kept runs"), btnClearKept);

    QMenu* run = MenuBar->addMenu(QStringLiteral("&Run"));
    Clicks(run, QStringLiteral("&Run\tF5"), btnRun);
    Clicks(run, QStringLiteral("&Cancel\tEsc"), btnCancel);
    run->addSeparator();
    Clicks(run, QStringLiteral("S&weep\u2026"), btnSweep);
    run->addSeparator();
    Clicks(run, QStringLiteral("&Measured log\u2026"), btnMeasured);
    RemoveLogAction = run->addAction(QStringLiteral("Remo&ve measured log"), this,
                                     guarded([this] { RemoveMeasuredLog(); }));
    RemoveLogAction->setEnabled(false);
    Clicks(run, QStringLiteral("&Fit to the measured log\u2026"), btnFit);
    run->addSeparator();
    run->addAction(QStringLiteral("&Air from a file\u2026"), this, guarded([this] { ChooseAirFile(); }));
    run->addAction(QStringLiteral("Tonight's f&orecast\u2026"), this, guarded([this] { ChooseForecast(); }));
    run->addAction(QStringLiteral("Air as a ram&p between the two fields"), this, guarded([this] { UseAirRamp(); }));
    connect(run, &QMenu::aboutToShow, this, [this, run] {
        // What changes the air waits while a job runs, as the controls do.
        for (QAction* a : run->actions().mid(run->actions().size() - 3)) a->setEnabled(!inputsLocked_);
    });

    QMenu* view = MenuBar->addMenu(QStringLiteral("&View"));
    const QString pages[] = {QStringLiteral("Temperature &profile"), QStringLiteral("Temperature &evolution"),
                             QStringLiteral("&Conditions")};
    for (int p = 0; p < 3; ++p) {
        QAction* a = view->addAction(pages[p], this, [this, p] { PageControl1->setCurrentIndex(p); });
        a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + p)));
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    view->addSeparator();
    InputsAction = view->addAction(QStringLiteral("&Inputs"));
    InputsAction->setCheckable(true);
    InputsAction->setChecked(true);
    InputsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    InputsAction->setShortcutContext(Qt::WindowShortcut);
    addAction(InputsAction);
    connect(InputsAction, &QAction::toggled, this, [this](bool on) { Guarded([this, on] { ShowInputs(on); }); });
    Mirrors(view, QStringLiteral("&Surface \u2212 air"), chkSurfaceMinusAir);
    Mirrors(view, QStringLiteral("&Mirror seeing"), chkMirrorSeeing);
    CreateUnitsMenu(view);
    view->addSeparator();
    QAction* compare = view->addAction(QStringLiteral("Compare &runs\u2026"), this, guarded([this] { ShowComparison(); }));
    connect(view, &QMenu::aboutToShow, this, [this, compare] { compare->setEnabled(ResultLines->Count() > 1); });
    view->addAction(QStringLiteral("&Whole run (reset zoom)"), this, [this] {
        (PageControl1->currentIndex() == ProfilePage ? Chart4 : Chart1)->ZoomHome();
    });

    QMenu* help = MenuBar->addMenu(QStringLiteral("&Help"));
    Clicks(help, QStringLiteral("&Help\tF1"), btnHelp);
    help->addAction(QStringLiteral("&About Brennic"), this, [this] {
        QMessageBox::about(this, QStringLiteral("About Brennic"),
                           QStringLiteral("Brennic %1\nHow a telescope mirror follows the night air.")
                               .arg(QStringLiteral(BRENNIC_VERSION)));
    });

    for (QAction* a : {UndoAction, RedoAction}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
}

}  // namespace brennic
