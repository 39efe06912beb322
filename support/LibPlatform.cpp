#include "support/LibPlatform.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QUrl>
#include <QVariantMap>

#include <fcntl.h>
#include <unistd.h>

namespace brennic {

std::optional<char16_t> SystemDecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    if (point.size() != 1)
        return std::nullopt;
    return char16_t(point.at(0).unicode());
}

std::optional<char16_t> SystemListSeparator()
{
    return std::nullopt;
}

namespace {

// xdg-open's status when it found no way to open the target.
constexpr int XdgNoMethod = 3;

bool OpenWithXdg(const QString& target, const QString& parameters, const QString& directory,
                 std::function<void()> noAssociation)
{
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(QStringLiteral("xdg-open"));
    QStringList args{target};
    if (!parameters.isEmpty())
        args += QProcess::splitCommand(parameters);
    process->setArguments(args);
    if (!directory.isEmpty())
        process->setWorkingDirectory(directory);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    auto fallback = std::make_shared<std::function<void()>>(std::move(noAssociation));
    QObject::connect(process, &QProcess::finished, process, [process, fallback](int code, QProcess::ExitStatus) {
        if (code == XdgNoMethod && *fallback)
            (*fallback)();
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, fallback](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            if (*fallback)
                (*fallback)();
            process->deleteLater();
        }
    });
    process->start();
    return true;
}

bool ChooseWithPortal(const QString& target, std::function<void()> failed)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QUrl url = QUrl::fromUserInput(target);
    QVariantMap options;
    options.insert(QStringLiteral("ask"), true);
    QDBusMessage call;
    if (url.isLocalFile()) {
        const int fd = ::open(QFile::encodeName(url.toLocalFile()).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.OpenURI"), QStringLiteral("OpenFile"));
        call << QString() << QVariant::fromValue(QDBusUnixFileDescriptor(fd)) << options;
        ::close(fd);  // the descriptor object holds its own duplicate
    } else {
        call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.OpenURI"), QStringLiteral("OpenURI"));
        call << QString() << url.toString() << options;
    }
    // The answer is awaited beside the window's work: an error (no portal on
    // the bus, as on a bus started just for this program) or silence past
    // PortalAnswerMs hands over to the caller's fallback.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, PortalAnswerMs), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, failed = std::move(failed)] {
        if (watcher->isError() && failed)
            failed();
        watcher->deleteLater();
    });
    return true;
}

TShellOps& CurrentOps()
{
    static TShellOps ops = DesktopShellOps();
    return ops;
}

}  // namespace

TShellOps DesktopShellOps()
{
    return {OpenWithXdg, ChooseWithPortal};
}

void SetShellOps(const TShellOps& ops)
{
    const TShellOps desktop = DesktopShellOps();
    CurrentOps() = {ops.openAssociated ? ops.openAssociated : desktop.openAssociated,
                    ops.chooseApplication ? ops.chooseApplication : desktop.chooseApplication};
}

int ShellOpen(const QString& fileName, const QString& parameters, const QString& directory, int showCommand)
{
    return ShellOpen(fileName, parameters, directory, showCommand, {});
}

int ShellOpen(const QString& fileName, const QString& parameters, const QString& directory, int /*showCommand*/,
              const std::function<void()>& noApplication)
{
    const TShellOps& ops = CurrentOps();
    auto choose = [choose = ops.chooseApplication, fileName, noApplication] {
        if ((!choose || !choose(fileName, noApplication)) && noApplication)
            noApplication();
    };
    if (ops.openAssociated && ops.openAssociated(fileName, parameters, directory, choose))
        return ShellOpenStarted;
    // The shell could not even be asked: the user may still pick a program.
    if (ops.chooseApplication && ops.chooseApplication(fileName, noApplication))
        return ShellOpenStarted;
    if (noApplication)
        noApplication();
    return ShellOpenFailed;
}

}  // namespace brennic
