// Where a live night's readings come from: a file a logger appends to, a
// serial port, or a recorded log played back as if live. Each source is
// polled by one thread; none waits longer than it is asked to.
#pragma once

#include "app/core/live/LiveLine.h"
#include "app/core/live/LiveTable.h"
#include "app/core/tables/MeasuredLog.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brennic {

struct TLivePoll {
    std::vector<TLiveRow> Rows;           // in time order
    std::vector<std::string> Notes;       // how the source was read; restarts
    std::vector<std::string> Skipped;     // lines refused, each named
    std::optional<std::string> Lost;      // the source cannot be read now, and why
    bool Ended = false;                   // a replay has given its last row
    std::optional<std::string> Refused;   // the source cannot serve this night at all
};

class TLiveSource {
public:
    virtual ~TLiveSource() = default;
    // "night.csv (followed)", "/dev/ttyUSB0 at 9600 baud"
    virtual std::string Name() const = 0;
    // What arrived, waiting at most `wait` when nothing has.
    virtual TLivePoll Poll(std::chrono::milliseconds wait) = 0;
    // A replay runs on its data's own clock: updates by data time only.
    virtual bool Replayed() const { return false; }
};

// The file's times on the UTC clock: as given with a zone, local times by
// this computer's zone, times without a date from `anchor` (s since 1970).
double UtcTime(const TTimeTable& table, double time, double anchor);

// A file followed as it grows, read with the measured log's reader and
// columns (--measured-columns) each time complete lines arrive.
std::unique_ptr<TLiveSource> FollowSource(const std::string& path, const TLogColumns& columns, TTableOptions read);
// A serial port's lines; the time of a line is when it arrived.
std::unique_ptr<TLiveSource> SerialSource(const std::string& device, long baud, const TLineRoles& roles);
// A recorded log, read whole first (read right or refused before the night
// starts), given row by row at `speed` times its own pace (0: at once).
std::unique_ptr<TLiveSource> ReplaySource(const std::string& path, const TLogColumns& columns, TTableOptions read,
                                          double speed);

// "night.csv,60" and "/dev/ttyUSB0,115200": the path and the number after
// its last comma, or the default; throws EBrennicError naming the option.
struct TPathAndNumber {
    std::string Path;
    double Number;
};
TPathAndNumber SplitPathAndNumber(const std::string& option, const std::string& text, double fallback);

}  // namespace brennic
