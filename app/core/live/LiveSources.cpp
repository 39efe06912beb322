#include "app/core/live/LiveSources.h"

#include "support/BoundedRead.h"
#include "support/FollowedFile.h"
#include "support/LibStandard.h"
#include "support/LocalClock.h"
#include "support/NumberText.h"
#include "support/SerialLines.h"

#include <cmath>
#include <thread>

namespace brennic {

namespace {

// The rows of a table from `first` on, their roles by the log's columns.
std::vector<TLiveRow> RowsOf(const TTimeTable& t, const TLogColumnIndices& c, std::size_t first, double anchor)
{
    std::vector<TLiveRow> rows;
    for (std::size_t i = first; i < t.Times.size(); ++i) {
        TLiveRow row;
        row.Time = UtcTime(t, t.Times[i], anchor);
        for (auto [column, role] : {std::pair{c.Air, lrAir}, {c.Surface, lrSurface}, {c.Back, lrBack}})
            if (column > 0)
                row.Values[std::size_t(role)] = t.Columns[std::size_t(column) - 1][i];
        rows.push_back(row);
    }
    return rows;
}

class TFollow : public TLiveSource {
public:
    TFollow(const std::string& path, const TLogColumns& columns, TTableOptions read)
        : file_(path, TableSizeLimit), columns_(columns), read_(std::move(read))
    {
        if (!columns_.Time.empty())
            read_.TimeColumn = columns_.Time;
    }
    std::string Name() const override { return file_.Path() + " (followed)"; }

    TLivePoll Poll(std::chrono::milliseconds wait) override
    {
        TLivePoll out;
        TFollowedFile::TPoll p;
        try {
            p = file_.Poll();
        } catch (const EReadError& e) {
            out.Lost = file_.Path() + ": " + e.what();
            return out;
        }
        if (p.State == TFollowedFile::TState::Missing) {
            out.Lost = file_.Path() + ": " + p.Note;
            return out;
        }
        if (p.Restarted) {
            text_.clear();
            emitted_ = 0;
            out.Notes.push_back(file_.Path() + ": " + p.Note);
        }
        if (p.Lines.empty()) {
            std::this_thread::sleep_for(wait);
            return out;
        }
        text_ += p.Lines;
        Read(out);
        return out;
    }

private:
    void Read(TLivePoll& out)
    {
        try {
            const TTimeTable t = ParseTimeTable(text_, file_.Path(), read_);
            const TLogColumnIndices c = LogColumnIndices(t, columns_);
            if (emitted_ == 0 && !t.Times.empty()) {
                anchor_ = UtcNow();
                for (const std::string& note : t.Notes) out.Notes.push_back(file_.Path() + ": " + note);
            }
            if (t.Times.size() < emitted_)
                emitted_ = 0;
            out.Rows = RowsOf(t, c, emitted_, anchor_);
            emitted_ = t.Times.size();
            refused_.clear();
        } catch (const ETableError& e) {
            // A header alone is no table yet; anything else is said once.
            if (std::count(text_.begin(), text_.end(), '\n') > 2 && refused_ != e.what()) {
                refused_ = e.what();
                out.Skipped.push_back(refused_);
            }
        }
    }

    TFollowedFile file_;
    TLogColumns columns_;
    TTableOptions read_;
    std::string text_, refused_;
    std::size_t emitted_ = 0;
    double anchor_ = 0;
};

class TSerial : public TLiveSource {
public:
    TSerial(const std::string& device, long baud, const TLineRoles& roles) : device_(device), baud_(baud), roles_(roles)
    {
        port_ = std::make_unique<TSerialLines>(device, baud);
    }
    std::string Name() const override { return device_ + " at " + std::to_string(baud_) + " baud"; }

    TLivePoll Poll(std::chrono::milliseconds wait) override
    {
        TLivePoll out;
        if (!port_) {
            try {
                port_ = std::make_unique<TSerialLines>(device_, baud_);
                out.Notes.push_back(device_ + ": the device is back");
            } catch (const ESerialError& e) {
                out.Lost = e.what();
                std::this_thread::sleep_for(wait);
                return out;
            }
        }
        std::vector<std::string> lines;
        try {
            lines = port_->Read(wait);
        } catch (const ESerialError& e) {
            port_.reset();
            out.Lost = e.what();
            return out;
        }
        const double now = UtcNow();
        for (const std::string& line : lines) {
            ++line_;
            try {
                TLiveRow row = ParseLiveLine(line, roles_);
                row.Time = now;
                out.Rows.push_back(row);
            } catch (const EBrennicError& e) {
                out.Skipped.push_back(device_ + ", line " + std::to_string(line_) + ": " + e.what());
            }
        }
        return out;
    }

private:
    std::string device_;
    long baud_;
    TLineRoles roles_;
    std::unique_ptr<TSerialLines> port_;
    std::size_t line_ = 0;
};

class TReplay : public TLiveSource {
public:
    TReplay(const std::string& path, const TLogColumns& columns, TTableOptions read, double speed)
        : path_(path), speed_(speed)
    {
        if (!columns.Time.empty())
            read.TimeColumn = columns.Time;
        const TTimeTable t = ReadTimeTable(path, read);
        // Read as a measured log would be, so that it is refused the same way.
        TMeasuredLog::FromTable(t, columns);
        rows_ = RowsOf(t, LogColumnIndices(t, columns), 0, UtcNow());
        notes_ = t.Notes;
    }
    std::string Name() const override { return path_ + " (replayed)"; }
    bool Replayed() const override { return true; }

    TLivePoll Poll(std::chrono::milliseconds wait) override
    {
        TLivePoll out;
        if (next_ == 0) {
            started_ = std::chrono::steady_clock::now();
            for (const std::string& note : notes_) out.Notes.push_back(path_ + ": " + note);
        }
        const double reached =
            speed_ <= 0 ? rows_.back().Time
                        : rows_.front().Time +
                              speed_ * std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
        while (next_ < rows_.size() && rows_[next_].Time <= reached) out.Rows.push_back(rows_[next_++]);
        out.Ended = next_ == rows_.size();
        if (out.Rows.empty() && !out.Ended)
            std::this_thread::sleep_for(std::min(
                wait, std::chrono::milliseconds(long(std::ceil((rows_[next_].Time - reached) / speed_ * 1000)))));
        return out;
    }

private:
    std::string path_;
    double speed_;
    std::vector<TLiveRow> rows_;
    std::vector<std::string> notes_;
    std::size_t next_ = 0;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace

double UtcTime(const TTimeTable& t, double time, double anchor)
{
    if (!t.ClockTimes)
        return anchor + (time - t.Times.front());
    if (t.UtcBased)
        return time;
    return time - 60.0 * LocalUtcOffsetMinutes(time);
}

std::unique_ptr<TLiveSource> FollowSource(const std::string& path, const TLogColumns& columns, TTableOptions read)
{
    return std::make_unique<TFollow>(path, columns, std::move(read));
}

std::unique_ptr<TLiveSource> SerialSource(const std::string& device, long baud, const TLineRoles& roles)
{
    try {
        return std::make_unique<TSerial>(device, baud, roles);
    } catch (const ESerialError& e) {
        throw EBrennicError(std::string("--serial: ") + e.what());
    }
}

std::unique_ptr<TLiveSource> ReplaySource(const std::string& path, const TLogColumns& columns, TTableOptions read,
                                          double speed)
{
    return std::make_unique<TReplay>(path, columns, std::move(read), speed);
}

TPathAndNumber SplitPathAndNumber(const std::string& option, const std::string& text, double fallback)
{
    const std::size_t comma = text.rfind(',');
    double number = fallback;
    if (comma == std::string::npos || !TryStrToFloat(FromUtf8(text.substr(comma + 1)), u'.', number))
        return {text, fallback};
    if (!(number >= 0) || !std::isfinite(number))
        throw EBrennicError(option + ": '" + ShownText(text.substr(comma + 1)) + "' is not a number of 0 or more");
    if (comma == 0)
        throw EBrennicError(option + ": '" + ShownText(text) + "' names no file or device");
    return {text.substr(0, comma), number};
}

}  // namespace brennic
