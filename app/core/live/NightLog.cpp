#include "app/core/live/NightLog.h"

#include "app/core/tables/DateTimeText.h"
#include "model/FiniteDiff_1D.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace brennic {

namespace {

constexpr auto FlushEvery = std::chrono::minutes(1);

// "2026-12-09T20:05:00Z"
std::string UtcText(double seconds)
{
    std::string text = DateTimeText(std::floor(seconds));
    text[10] = 'T';
    char s[8];
    const long sec = long(std::floor(seconds)) % 60;
    std::snprintf(s, sizeof s, ":%02ldZ", sec < 0 ? sec + 60 : sec);
    return text + s;
}

}  // namespace

std::string NightLogFolder()
{
    namespace fs = std::filesystem;
    fs::path base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        base = data;
    else if (const char* home = std::getenv("HOME"); home && *home == '/')
        base = fs::path(home) / ".local" / "share";
    else
        throw EBrennicError("there is no folder of your own for the night's log (HOME is not set): give --live-log FILE");
    const fs::path folder = base / "brennic" / "nights";
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        throw EBrennicError("the night's log cannot go in " + folder.string() + ": " + ec.message() +
                            " (give --live-log FILE)");
    return folder.string();
}

std::string DefaultNightLogPath(double utcNow)
{
    std::string stamp = UtcText(utcNow);  // 2026-12-09T20:05:00Z
    stamp = stamp.substr(0, 13) + stamp.substr(14, 2) + "Z";
    return NightLogFolder() + "/night-" + stamp + ".csv";
}

TNightLog::TNightLog(const std::string& path) : path_(path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        throw EBrennicError("the night's log \"" + path + "\" cannot be made: " + std::strerror(errno) +
                            (errno == EEXIST ? " (a log is never written over; choose another name)" : ""));
    file_ = ::fdopen(fd, "w");
    if (!file_) {
        ::close(fd);
        throw EBrennicError("the night's log \"" + path + "\" cannot be written: " + std::strerror(errno));
    }
    std::string header = "Time";
    for (int r = 0; r < LiveRoleCount; ++r) header += std::string(",") + LiveRoleColumn(TLiveRole(r));
    std::fputs((header + "\n").c_str(), file_);
    Flush();
}

TNightLog::~TNightLog()
{
    if (file_) {
        try {
            Flush();
        } catch (const EBrennicError&) {
            // Closing says no more; what was written through stays.
        }
        std::fclose(file_);
    }
}

void TNightLog::Add(const TLiveRow& row)
{
    std::string line = UtcText(row.Time);
    for (double v : row.Values) {
        line += ',';
        if (std::isfinite(v)) {
            char buf[32];
            const auto r = std::to_chars(buf, buf + sizeof buf, v);
            line.append(buf, r.ptr);
        }
    }
    line += '\n';
    if (std::fputs(line.c_str(), file_) < 0)
        throw EBrennicError("the night's log \"" + path_ + "\" cannot be written: " + std::strerror(errno));
    if (std::chrono::steady_clock::now() - flushed_ >= FlushEvery)
        Flush();
}

void TNightLog::Flush()
{
    if (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0)
        throw EBrennicError("the night's log \"" + path_ + "\" cannot be written: " + std::strerror(errno));
    flushed_ = std::chrono::steady_clock::now();
}

}  // namespace brennic
