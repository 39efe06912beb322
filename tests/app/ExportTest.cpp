#include "app/gui/ErrorReport.h"
#include "app/gui/MainOrvalis.h"
#include "tests/app/WindowFixtures.h"
#include "support/FileOutput.h"
#include "support/LibPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

using namespace brennic;

namespace {

struct Errors {
    QStringList messages;
    Errors()
    {
        SetErrorReportHook([this](const QString& t) { messages << t; });
    }
    ~Errors() { SetErrorReportHook({}); }
};

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

struct RanWindow {
    TFrmBrennic w;
    QTemporaryDir dir;
    explicit RanWindow(const char* minutes = "120")
    {
        w.show();
        w.edtTimeInterval->setText(minutes);
        RunAndWait(w);
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void ExportTo(const QString& path)
    {
        w.FileNameProvider = [path] { return std::optional<QString>(path); };
        w.btnExportCSV->click();
    }
};

// Acts on the real dialog once it is open.
void WhenDialogOpens(QFileDialog* dialog, std::function<void(QFileDialog*)> act)
{
    auto* timer = new QTimer(dialog);
    QObject::connect(timer, &QTimer::timeout, dialog, [dialog, timer, act] {
        if (!dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start(10);
}

}  // namespace

TEST(Export, WritesExactlyTheResultLines)
{
    Errors errors;
    RanWindow f;
    const QString path = f.Path("night.csv");
    f.ExportTo(path);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join("|").toStdString();
    const QByteArray bytes = Read(path);
    EXPECT_EQ(bytes.toStdString(), EncodeSystem8Bit(f.w.ResultLines->GetTextStr()));
    EXPECT_TRUE(bytes.startsWith("\"Time\",\"T_Ambient\",\"T_Surface\",\"T_Back\",\"T_Core\"\r\n0,10,20,20,20\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 722);
    for (char c : bytes) ASSERT_LT(static_cast<unsigned char>(c), 0x80);
    EXPECT_TRUE(f.w.btnExportCSV->isEnabled());

    // A second, shorter run exported to the same file replaces it whole.
    f.w.edtTimeInterval->setText("1");
    RunAndWait(f.w);
    f.ExportTo(path);
    EXPECT_EQ(Read(path).count("\r\n"), 8);
    EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(Export, FailuresLeaveFileAndWindowAsTheyWere)
{
    Errors errors;
    RanWindow f("1");
    const QString path = f.Path("keep.csv");
    Write(path, "previous export\r\n");
    const std::u16string lines = f.w.ResultLines->GetTextStr();

    // The disk fills part-way: nothing replaces the old file.
    int calls = 0;
    f.w.ExportWriter = [&](int fd, const char* d, std::size_t n) -> long {
        if (calls++ == 0)
            return ::write(fd, d, n / 2);
        errno = ENOSPC;
        return -1;
    };
    f.ExportTo(path);
    EXPECT_EQ(errors.messages, QStringList({"Stream write error."}));
    EXPECT_EQ(Read(path), "previous export\r\n");
    EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    f.w.ExportWriter = nullptr;

    // A folder where nothing can be created.
    errors.messages.clear();
    QString blocked = QStringLiteral("/proc/brennic-export.csv");
    if (::geteuid() != 0) {
        QDir(f.dir.path()).mkdir("locked");
        blocked = f.Path("locked/out.csv");
        ::chmod(QFile::encodeName(f.Path("locked")).constData(), 0555);
    }
    f.ExportTo(blocked);
    ASSERT_EQ(errors.messages.size(), 1);
    EXPECT_TRUE(errors.messages[0].startsWith("Cannot create file \"" + blocked + "\". "))
        << errors.messages[0].toStdString();
    EXPECT_EQ(f.w.ResultLines->GetTextStr(), lines);
    EXPECT_TRUE(f.w.btnRun->isEnabled());
    EXPECT_TRUE(f.w.btnExportCSV->isEnabled());
    EXPECT_FALSE(f.w.btnCancel->isEnabled());
}

TEST(Export, DialogSettings)
{
    TFrmBrennic w;
    QFileDialog* d = w.SaveDialog1;
    EXPECT_EQ(d->windowTitle(), "Export to CSV file");
    EXPECT_EQ(d->nameFilters(), QStringList({"CSV files (*.csv)", "All files (*.*)"}));
    EXPECT_EQ(d->selectedNameFilter(), "CSV files (*.csv)");
    EXPECT_EQ(d->defaultSuffix(), "csv");
    EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(d->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_FALSE(d->testOption(QFileDialog::ReadOnly));
    EXPECT_TRUE(d->isSizeGripEnabled());
}

TEST(Export, RealDialogAddsExtensionAndRemembersTheName)
{
    Errors errors;
    RanWindow f("1");
    WhenDialogOpens(f.w.SaveDialog1, [&](QFileDialog* d) {
        d->setDirectory(f.dir.path());
        d->findChild<QLineEdit*>("fileNameEdit")->setText("night");
        QMetaObject::invokeMethod(d, "accept");
    });
    f.w.btnExportCSV->click();
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join("|").toStdString();
    EXPECT_EQ(Read(f.Path("night.csv")).count("\r\n"), 8);

    // Cancelling touches nothing; the dialog offers the last name again.
    QString offered;
    Write(f.Path("night.csv"), "untouched");
    WhenDialogOpens(f.w.SaveDialog1, [&](QFileDialog* d) {
        offered = d->findChild<QLineEdit*>("fileNameEdit")->text();
        d->reject();
    });
    f.w.btnExportCSV->click();
    EXPECT_EQ(offered, "night.csv");
    EXPECT_EQ(Read(f.Path("night.csv")), "untouched");
    EXPECT_TRUE(errors.messages.isEmpty());
}

