// Scenarios in the window: saved, opened again with the same results, and
// refused without a change.
#include "tests/app/WindowFixtures.h"

#include <QComboBox>
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
