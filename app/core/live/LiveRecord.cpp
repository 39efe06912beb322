#include "app/core/live/LiveRecord.h"

namespace brennic {

void TLiveRecord::Received(const TLiveRow& row)
{
    const std::lock_guard lock(mutex_);
    s_.Rows.push_back(row);
    ++s_.Version;
}

void TLiveRecord::Updated(const TLiveUpdate& update)
{
    const std::lock_guard lock(mutex_);
    s_.Last = update;
    ++s_.Version;
}

void TLiveRecord::Said(const std::string& note)
{
    const std::lock_guard lock(mutex_);
    s_.Notes.push_back(note);
    if (s_.Notes.size() > LiveNotesKept)
        s_.Notes.erase(s_.Notes.begin());
    ++s_.Version;
}

void TLiveRecord::SetLost(const std::string& lost)
{
    const std::lock_guard lock(mutex_);
    s_.Lost = lost;
    ++s_.Version;
}

void TLiveRecord::Clear()
{
    const std::lock_guard lock(mutex_);
    const std::uint64_t version = s_.Version + 1;
    s_ = {};
    s_.Version = version;
}

std::uint64_t TLiveRecord::Version() const
{
    const std::lock_guard lock(mutex_);
    return s_.Version;
}

std::optional<TLiveSnapshot> TLiveRecord::SnapshotAfter(std::uint64_t seen) const
{
    const std::lock_guard lock(mutex_);
    if (s_.Version == seen)
        return std::nullopt;
    return s_;
}

}  // namespace brennic
