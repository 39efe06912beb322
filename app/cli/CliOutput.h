// Where the command line's bytes go, and its progress bar.
#pragma once

#include "app/core/run/TimeLeft.h"
#include "support/FileOutput.h"
#include "support/LibStandard.h"

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace brennic {

// A line on standard error, "brennic-sim: " first; whatever it quotes from
// outside (a file's column, a server's reason) cannot steer the terminal.
inline void Say(std::string_view text)
{
    std::fputs(("brennic-sim: " + TerminalSafe(text) + "\n").c_str(), stderr);
}

// Where the bytes go: standard output or a file replaced atomically.
class Sink {
public:
    explicit Sink(const std::string& path)
    {
        if (!path.empty())
            file_ = std::make_unique<TAtomicFile>(path);
        buffer_.reserve(1 << 16);
    }
    void Put(std::string_view bytes)
    {
        buffer_ += bytes;
        if (buffer_.size() >= (1 << 16))
            Flush();
    }
    void Finish()
    {
        Flush();
        if (file_)
            file_->Commit();
        else if (std::fflush(stdout) != 0)
            throw EWriteError();
    }

private:
    void Flush()
    {
        if (file_)
            file_->Write(buffer_);
        else if (std::fwrite(buffer_.data(), 1, buffer_.size(), stdout) != buffer_.size())
            throw EWriteError();
        buffer_.clear();
    }
    std::unique_ptr<TAtomicFile> file_;
    std::string buffer_;
};

// A bar on a terminal's standard error, once a run has taken a second.
class Progress {
public:
    explicit Progress(double duration) : duration_(duration), enabled_(::isatty(STDERR_FILENO) == 1) {}
    void Update(double time, std::size_t report)
    {
        if (!enabled_ || (report & 1023) != 0 || duration_ <= 0)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (now - start_ < std::chrono::seconds(1) || now - lastDrawn_ < std::chrono::milliseconds(100))
            return;
        lastDrawn_ = now;
        shown_ = true;
        const double fraction = std::min(1.0, time / duration_);
        const int filled = static_cast<int>(fraction * 40);
        const std::optional<double> left =
            SecondsLeft(std::chrono::duration<double>(now - start_).count(), fraction);
        std::fprintf(stderr, "\r[%s%s] %3d%% %-24s", std::string(filled, '#').c_str(),
                     std::string(40 - filled, ' ').c_str(), static_cast<int>(fraction * 100),
                     left ? TimeLeftText(*left).c_str() : "");
        std::fflush(stderr);
    }
    ~Progress()
    {
        if (shown_)
            std::fprintf(stderr, "\r%s\r", std::string(73, ' ').c_str());
    }

private:
    double duration_;
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastDrawn_{};
};

}  // namespace brennic
