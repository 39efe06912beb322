// Scenarios in the window: saved, opened again with the same results, and
// refused without a change.
#include "app/core/tables/MeasuredLog.h"
#include "app/gui/FileFolders.h"
#include "tests/app/WindowFixtures.h"

#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QTimer>
#include <QMimeData>
#include <QUrl>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <fstream>

using namespace brennic;

TEST(ScenarioWindow, SavedAndOpenedGiveTheSameRun)
{
    ErrorCapture errors;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ten-inch.brennic"));
    std::u16string rows;
    {
        Window f;
        f.w.SettingsFile = dir.filePath(QStringLiteral("settings.ini"));
        f.w.edtThickness->setText("38");
        f.w.edtFrontFanFlow->setText("25");
        f.w.edtTimeInterval->setText("30");
        f.w.cmbMaterial->setCurrentIndex(5);
        RunAndWait(f.w);
        rows = f.w.ResultLines->GetTextStr();
        f.w.SaveScenario(path);
        EXPECT_EQ(f.w.windowTitle(), "Telescope Brennic \u2014 ten-inch");
        EXPECT_EQ(f.w.RecentScenarios(), QStringList({path}));
    }
    Window g;
    TFrmBrennic& w = g.w;
    w.SettingsFile = dir.filePath(QStringLiteral("settings.ini"));
    EXPECT_EQ(w.windowTitle(), "Telescope Brennic");  // the program starts from its defaults
    EXPECT_EQ(w.edtThickness->text(), "50.8");
    w.OpenScenario(path);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join("|").toStdString();
    EXPECT_EQ(w.edtThickness->text(), "38");
    EXPECT_EQ(w.cmbMaterial->currentText(), "Suprax");
    RunAndWait(w);
    EXPECT_EQ(w.ResultLines->GetTextStr(), rows);

    // A broken scenario changes nothing.
    const QString broken = dir.filePath(QStringLiteral("broken.brennic"));
    std::ofstream(broken.toStdString()) << "thickness = 10\nfan = big\n";
    Guarded([&] { w.OpenScenario(broken); });
    ASSERT_EQ(errors.messages.size(), 1);
    EXPECT_EQ(errors.messages[0], broken + ", line 2: \"fan\" is not a setting of a scenario.");
    EXPECT_EQ(w.edtThickness->text(), "38");
    EXPECT_EQ(w.windowTitle(), "Telescope Brennic \u2014 ten-inch");
    // Ctrl+O and Ctrl+S are the window's.
    QStringList shortcuts;
    for (QAction* a : w.actions()) shortcuts << a->shortcut().toString();
    EXPECT_TRUE(shortcuts.contains("Ctrl+O"));
    EXPECT_TRUE(shortcuts.contains("Ctrl+S"));
}

TEST(ScenarioWindow, FoldersAndDevicesAreRefusedWithNothingChanged)
{
    QTemporaryDir dir;
    Window f;
    TFrmBrennic& w = f.w;
    w.edtThickness->setText("38");
    struct Case {
        const char* name;
        QString path;
        const char* message;
    };
    const Case cases[] = {{"a folder", dir.path(), "it is a folder"},
                          {"the zero device", QStringLiteral("/dev/zero"), "it is a device"}};
    for (const Case& c : cases) {
        bool refused = false;
        try {
            w.OpenScenario(c.path);
        } catch (const EBrennicError& e) {
            refused = std::string(e.what()).find(c.message) != std::string::npos;
        }
        EXPECT_TRUE(refused) << c.name;
        EXPECT_EQ(w.edtThickness->text(), "38") << c.name;
    }
}

TEST(ScenarioWindow, AnyFileOpensByWhatItHoldsNamedOrDropped)
{
    QTemporaryDir dir;
    auto write = [&](const char* name, const char* text) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        std::ofstream(QFile::encodeName(path).toStdString()) << text;
        return path;
    };
    const QString scenario = write("eight-inch.brennic", "thickness = 33\n");
    const QString log = write("night.csv", "Time,T_Ambient,T_Surface,T_Back\n0,10,20,20\n600,10,18,19\n1200,10,16,18\n");
    const QString air = write("air.csv", "time,temp\n2026-12-01 18:00,5\n2026-12-01 19:00,4\n2026-12-01 20:00,3\n");
    const QString neither = write("notes.txt", "clear sky, good seeing\n");
    Window f;
    TFrmBrennic& w = f.w;
    w.SettingsFile = dir.filePath(QStringLiteral("settings.ini"));

    w.OpenAnyFile(scenario);
    EXPECT_EQ(w.edtThickness->text(), "33");
    w.OpenAnyFile(air);
    ASSERT_TRUE(w.AirSource);
    EXPECT_EQ(w.edtTimeInterval->text(), "120") << "the duration is the rest of the file";
    w.LogAirPrompt = [] { return true; };
    w.OpenAnyFile(log);
    ASSERT_TRUE(w.MeasuredLog);
    EXPECT_EQ(w.MeasuredLog->Surface.size(), 3u);
    try {
        w.OpenAnyFile(neither);
        ADD_FAILURE() << "a file of notes was taken";
    } catch (const EBrennicError& e) {
        EXPECT_NE(std::string(e.what()).find("is neither a measured log"), std::string::npos) << e.what();
    }

    // Dropped on the window, the same way.
    w.edtThickness->setText("40");
    w.DiscardPrompt = [] { return TFrmBrennic::TUnsavedAnswer::Discard; };
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(scenario)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
    EXPECT_EQ(w.edtThickness->text(), "33");
    // Two files, or a web address, are not taken.
    data.setUrls({QUrl::fromLocalFile(scenario), QUrl::fromLocalFile(air)});
    QDragEnterEvent two(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &two);
    EXPECT_FALSE(two.isAccepted());
    data.setUrls({QUrl(QStringLiteral("https://example.org/a.brennic"))});
    QDragEnterEvent web(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &web);
    EXPECT_FALSE(web.isAccepted());
}

// A file dialog opens where the user last chose a file, in another dialog too.
TEST(ScenarioWindow, FileDialogsOpenInTheLastFolder)
{
    QTemporaryDir dir;
    Window f;
    TFrmBrennic& w = f.w;
    RememberFolder(dir.filePath(QStringLiteral("night.csv")));
    QString opened;
    QTimer::singleShot(200, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            opened = dialog->directory().absolutePath();
            dialog->reject();
        }
    });
    w.ScenarioPath.clear();
    for (QAction* a : w.MenuBar->actions()[0]->menu()->actions())
        if (a->shortcut() == QKeySequence(QKeySequence::Open))
            a->trigger();
    EXPECT_EQ(opened, QFileInfo(dir.path()).absoluteFilePath());
}
