#include "app/gui/ErrorReport.h"

#include <QMessageBox>

#include <new>

namespace brennic {

namespace {
std::function<void(const QString&)>& Hook()
{
    static std::function<void(const QString&)> hook;
    return hook;
}
}  // namespace

QString ErrorReportText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

void SetErrorReportHook(std::function<void(const QString&)> hook)
{
    Hook() = std::move(hook);
}

void ReportError(const QString& message)
{
    const QString text = ErrorReportText(message);
    if (Hook()) {
        Hook()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Brennic"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void ReportCurrentException()
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        ReportError(QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        ReportError(QString::fromUtf8(e.what()));
    } catch (...) {
        ReportError(QStringLiteral("Unexpected error"));
    }
}

TBrennicApplication::TBrennicApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TBrennicApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportCurrentException();
        return false;
    }
}

}  // namespace brennic
