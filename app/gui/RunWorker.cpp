#include "app/gui/RunWorker.h"

#include "app/gui/ErrorReport.h"

#include <QMetaObject>
#include <QPointer>

#include <exception>
#include <new>

namespace brennic {

TRunWorker::TRunWorker(QObject* parent) : QObject(parent) {}

TRunWorker::~TRunWorker()
{
    Stop();
}

bool TRunWorker::Start(TJob job, TDone done)
{
    if (busy_)
        return false;
    if (thread_.joinable())
        thread_.join();  // the last job has returned; its thread is ending
    busy_ = true;
    abandoned_ = false;
    thread_ = std::jthread([this, job = std::move(job), done = std::move(done)](std::stop_token stop) mutable {
        QString error;
        try {
            job(stop);
        } catch (const std::bad_alloc&) {
            error = QStringLiteral("There is not enough memory for this run");
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
        } catch (...) {
            error = QStringLiteral("The run failed for an unknown reason");
        }
        if (abandoned_)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, done = std::move(done), error] {
                busy_ = false;
                if (done)
                    Guarded([&] { done(error); });
                emit finished();
            },
            Qt::QueuedConnection);
    });
    return true;
}

void TRunWorker::Cancel()
{
    if (busy_)
        thread_.request_stop();
}

bool TRunWorker::CancelThen(QObject* context, std::function<void()> then)
{
    if (!busy_)
        return false;
    Cancel();
    connect(this, &TRunWorker::finished, context, std::move(then), Qt::SingleShotConnection);
    return true;
}

void TRunWorker::Stop()
{
    abandoned_ = true;
    thread_.request_stop();
    if (thread_.joinable())
        thread_.join();
    busy_ = false;
}

}  // namespace brennic
