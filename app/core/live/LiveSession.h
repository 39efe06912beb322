// A live night: its sources polled, every reading kept in the night's log,
// and the prediction brought up to date as the data grows.
#pragma once

#include "app/core/live/LivePrediction.h"
#include "app/core/live/LiveSources.h"
#include "app/core/live/NightLog.h"

#include <cmath>
#include <functional>
#include <memory>
#include <stop_token>
#include <vector>

namespace brennic {

// An update at most this often on the wall clock while live (a replay
// updates by its data's time only).
inline constexpr double LiveUpdateWallSeconds = 10;
// How long one poll of a source may wait.
inline constexpr std::chrono::milliseconds LivePollWait{200};

struct TLiveEvents {
    std::function<void(const TLiveUpdate&)> Updated;
    // Notes on the sources and the readings: how they were read, a source
    // lost or back, a line skipped, a log not readable yet.
    std::function<void(const std::string&)> Said;
    // The state of the sources for a headline: empty when all give data.
    std::function<void(const std::string&)> Lost;
    // Each reading as it is taken into the night.
    std::function<void(const TLiveRow&)> Received;
};

class TLiveSession {
public:
    // updateEvery: minutes of data between updates.
    TLiveSession(std::vector<std::unique_ptr<TLiveSource>> sources, TLiveSettings settings, double updateEvery,
                 std::unique_ptr<TNightLog> log, TLiveEvents events);

    // Polls until a stop is asked, or until every replayed source has
    // ended (then one last update is made). Throws EBrennicError when the
    // night's log cannot be written.
    void Run(std::stop_token stop);

    const TLiveTable& Data() const { return data_; }
    std::size_t SkippedLines() const { return skipped_; }
    std::size_t Updates() const { return updates_; }

private:
    void Take(TLiveRow row, bool replayed, std::stop_token stop);
    void Update(std::stop_token stop);
    bool Ready() const;

    std::vector<std::unique_ptr<TLiveSource>> sources_;
    TLiveSettings settings_;
    double updateEvery_;
    std::unique_ptr<TNightLog> log_;
    TLiveEvents events_;
    TLiveTable data_;
    double lastUpdateData_ = -INFINITY;
    std::chrono::steady_clock::time_point lastUpdateWall_{};
    bool pending_ = false;  // data since the last update
    std::size_t skipped_ = 0, updates_ = 0;
    std::string lostText_, refused_;
};

}  // namespace brennic
