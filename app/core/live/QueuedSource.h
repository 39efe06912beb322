// A source that reads on a thread of its own (a server's client, a polled
// device): what it receives waits in a queue until the night polls it, so a
// stalled or lost server never holds up the night or the window.
#pragma once

#include "app/core/live/LiveSources.h"

#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>

namespace brennic {

// A value older than this when it arrives is left out, with a note.
inline constexpr double StaleAfter = 300;  // s

class TQueuedSource : public TLiveSource {
public:
    ~TQueuedSource() override;
    TLivePoll Poll(std::chrono::milliseconds wait) override;

protected:
    // The derived class starts its thread last in its constructor, and
    // stops it first in its destructor (Stop()).
    void StartThread();
    void Stop();
    virtual void Work(std::stop_token stop) = 0;

    // A value of a role, received now; `age` is how old the source says
    // it is (s), when it says.
    void Deliver(TLiveRole role, double value, const std::string& what, double age = 0);
    // The wind (m/s), received now.
    void DeliverWind(double metresPerSecond, const std::string& what, double age = 0);
    void Note(const std::string& note);
    void Skip(const std::string& line);
    void Lose(const std::string& why);  // the source cannot be read now
    void Found();                        // ... and can again
    // The night cannot go on with this source (a property that does not
    // exist): the session ends with this refusal.
    void Refuse(const std::string& why);
    // Sleeps up to `seconds`, waking at once when asked to stop; false then.
    static bool Sleep(std::stop_token stop, double seconds);

private:
    std::mutex mutex_;
    std::condition_variable_any arrived_;
    TLivePoll pending_;
    std::optional<std::string> lost_;
    std::jthread thread_;
};

}  // namespace brennic
