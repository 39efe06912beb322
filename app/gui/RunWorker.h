// A thread beside the window that runs one job at a time (a run, a fit, a
// sweep) through the engine; the job's end is handed back to the window's
// thread through its event queue.
#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <stop_token>
#include <thread>

namespace brennic {

class TRunWorker : public QObject {
    Q_OBJECT
public:
    using TJob = std::function<void(std::stop_token)>;
    // Called on the window's thread when the job has returned; error holds
    // the text of what it threw, empty when nothing.
    using TDone = std::function<void(const QString& error)>;

    explicit TRunWorker(QObject* parent = nullptr);
    ~TRunWorker() override;

    // Starts the job; false (and nothing started) while another one runs.
    bool Start(TJob job, TDone done);
    // Asks the job to stop; it ends after the report or run in progress.
    void Cancel();
    // Stops the job and waits for its thread; its done is not called.
    void Stop();
    bool Busy() const { return busy_; }
    // For a dialog closing while its job runs: cancels the job and returns
    // true, then calls then() once the job has ended; false when idle.
    bool CancelThen(QObject* context, std::function<void()> then);

signals:
    // After done has been called.
    void finished();

private:
    std::jthread thread_;
    std::atomic<bool> busy_{false};
    std::atomic<bool> abandoned_{false};
};

}  // namespace brennic
