// What a live night has shown so far, for views on another thread: the
// readings, the last prediction, what the sources said and whether they are
// lost. Written by the session's thread, read by the window once per frame.
#pragma once

#include "app/core/live/LivePrediction.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace brennic {

// Notes kept for a view: the last ones, never an unbounded list.
inline constexpr std::size_t LiveNotesKept = 200;

struct TLiveSnapshot {
    std::uint64_t Version = 0;
    std::vector<TLiveRow> Rows;
    std::optional<TLiveUpdate> Last;
    std::vector<std::string> Notes;
    std::string Lost;  // empty while every source gives data
};

class TLiveRecord {
public:
    void Received(const TLiveRow& row);
    void Updated(const TLiveUpdate& update);
    void Said(const std::string& note);
    void SetLost(const std::string& lost);
    void Clear();
    std::uint64_t Version() const;
    // A copy of everything, when newer than `seen`.
    std::optional<TLiveSnapshot> SnapshotAfter(std::uint64_t seen) const;

private:
    mutable std::mutex mutex_;
    TLiveSnapshot s_;
};

}  // namespace brennic
