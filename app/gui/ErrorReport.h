// The application's standard error report, and the guard that keeps
// exceptions from crossing the event loop.
#pragma once

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>

namespace brennic {

// The text as the report shows it: a full stop is appended when the last
// character's code is above that of the full stop.
QString ErrorReportText(const QString& message);

// Shows the message in a message box (error icon, OK, caption "Brennic").
void ReportError(const QString& message);
void ReportCurrentException();

// Replaces the message box (tests); an empty function restores it.
void SetErrorReportHook(std::function<void(const QString& text)> hook);

// Runs a handler, routing any exception it raises to the error report.
template <class F>
void Guarded(F&& handler) noexcept
{
    try {
        handler();
    } catch (...) {
        ReportCurrentException();
    }
}

// Last resort: an exception that still reaches event delivery is reported
// instead of ending the program.
class TBrennicApplication : public QApplication {
public:
    TBrennicApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace brennic
