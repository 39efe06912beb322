// What the window tests share: the error report and the desktop shell
// caught, and a shown window.
#pragma once

#include "app/gui/ErrorReport.h"
#include "app/gui/MainOrvalis.h"
#include "support/LibPlatform.h"

#include <QPushButton>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>

#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace brennic::test {

// Collects what the error report would show.
struct ErrorCapture {
    QStringList messages;
    ErrorCapture()
    {
        SetErrorReportHook([this](const QString& text) { messages << text; });
    }
    ~ErrorCapture() { SetErrorReportHook({}); }
};

// Counts help openings instead of starting a browser.
struct ShellCapture {
    QStringList opened;
    QStringList chosen;
    bool associated = true;
    ShellCapture()
    {
        SetShellOps({[this](const QString& target, const QString&, const QString&, std::function<void()> none) {
                         opened << target;
                         if (!associated)
                             QTimer::singleShot(0, [none] { none(); });
                         return true;
                     },
                     [this](const QString& target, std::function<void()>) {
                         chosen << target;
                         return true;
                     }});
    }
    ~ShellCapture() { SetShellOps(DesktopShellOps()); }
};

// Waits until the window's run, fit or sweep has ended.
inline void WaitForRun(TFrmBrennic& w, int milliseconds = 300000)
{
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.Running(); }, milliseconds)) << "the run did not end";
}

// Clicks Run and waits for the run to end (at once when it was refused).
inline void RunAndWait(TFrmBrennic& w)
{
    w.btnRun->click();
    WaitForRun(w);
}

struct Window {
    TFrmBrennic w;
    Window()
    {
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
};

// Writes a file in the folder and returns its path.
inline QString Write(const QTemporaryDir& dir, const char* name, const std::string& text)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    std::ofstream(path.toStdString(), std::ios::binary) << text;
    return path;
}

inline QValueAxis* AxisOf(QChartView* v, Qt::Orientation o)
{
    return qobject_cast<QValueAxis*>(v->chart()->axes(o).first());
}

}  // namespace brennic::test

using namespace brennic::test;
