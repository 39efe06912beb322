#include "app/core/live/QueuedSource.h"

#include "app/core/results/ResultText.h"
#include "support/LocalClock.h"

#include <cmath>

namespace brennic {

TQueuedSource::~TQueuedSource()
{
    Stop();
}

void TQueuedSource::StartThread()
{
    thread_ = std::jthread([this](std::stop_token stop) { Work(stop); });
}

void TQueuedSource::Stop()
{
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

TLivePoll TQueuedSource::Poll(std::chrono::milliseconds wait)
{
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, wait, [this] {
        return !pending_.Rows.empty() || !pending_.Notes.empty() || !pending_.Skipped.empty() || pending_.Refused;
    });
    TLivePoll out = std::move(pending_);
    pending_ = {};
    out.Lost = lost_;
    return out;
}

void TQueuedSource::Deliver(TLiveRole role, double value, const std::string& what, double age)
{
    if (!std::isfinite(value)) {
        Skip(what + ": no value");
        return;
    }
    if (age > StaleAfter) {
        Note(what + ": " + FixedText(value, 2, u'.') + " is " + std::to_string(long(age / 60)) +
             " min old and is left out");
        return;
    }
    TLiveRow row;
    row.Time = UtcNow();
    row.Values[std::size_t(role)] = value;
    std::lock_guard lock(mutex_);
    lost_.reset();  // a value that arrives is from a source that is there
    pending_.Rows.push_back(row);
    arrived_.notify_all();
}

void TQueuedSource::DeliverWind(double metresPerSecond, const std::string& what, double age)
{
    if (!std::isfinite(metresPerSecond) || metresPerSecond < 0) {
        Skip(what + ": " + FixedText(metresPerSecond, 2, u'.') + " m/s is no wind speed");
        return;
    }
    if (age > StaleAfter)
        return;
    TLiveRow row;
    row.Time = UtcNow();
    row.Wind = metresPerSecond;
    std::lock_guard lock(mutex_);
    lost_.reset();
    pending_.Rows.push_back(row);
    arrived_.notify_all();
}

void TQueuedSource::Note(const std::string& note)
{
    std::lock_guard lock(mutex_);
    pending_.Notes.push_back(note);
    arrived_.notify_all();
}

void TQueuedSource::Skip(const std::string& line)
{
    std::lock_guard lock(mutex_);
    pending_.Skipped.push_back(line);
    arrived_.notify_all();
}

void TQueuedSource::Lose(const std::string& why)
{
    std::lock_guard lock(mutex_);
    lost_ = why;
}

void TQueuedSource::Found()
{
    std::lock_guard lock(mutex_);
    lost_.reset();
}

void TQueuedSource::Refuse(const std::string& why)
{
    std::lock_guard lock(mutex_);
    pending_.Refused = why;
    arrived_.notify_all();
}

bool TQueuedSource::Sleep(std::stop_token stop, double seconds)
{
    std::mutex m;
    std::condition_variable_any cv;
    std::unique_lock lock(m);
    cv.wait_for(lock, stop, std::chrono::duration<double>(seconds), [] { return false; });
    return !stop.stop_requested();
}

}  // namespace brennic
