// Every reading a live night receives, kept in a file as it comes: a
// measured log of the night (Time, T_Ambient, T_Surface, T_Back, T_Dew,
// T_Sky; UTC times) that opens later like any other. Written through at
// least once a minute, so that a stopped program or machine loses at most
// the last minute.
#pragma once

#include "app/core/live/LiveTable.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace brennic {

// $XDG_DATA_HOME/brennic/nights (or ~/.local/share/...), made when missing;
// throws EBrennicError when there is no such folder of the user's own.
std::string NightLogFolder();
// "night-2026-12-09T2105Z.csv" in that folder, for a night starting now.
std::string DefaultNightLogPath(double utcNow);

class TNightLog {
public:
    // Creates the file; an existing one is never written over (throws
    // EBrennicError naming it).
    explicit TNightLog(const std::string& path);
    ~TNightLog();
    TNightLog(const TNightLog&) = delete;
    TNightLog& operator=(const TNightLog&) = delete;

    void Add(const TLiveRow& row);
    // Onto the disc now (also done a minute after the last time).
    void Flush();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::FILE* file_ = nullptr;
    std::chrono::steady_clock::time_point flushed_;
};

}  // namespace brennic
