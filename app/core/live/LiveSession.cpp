#include "app/core/live/LiveSession.h"

#include <cmath>

namespace brennic {

TLiveSession::TLiveSession(std::vector<std::unique_ptr<TLiveSource>> sources, TLiveSettings settings,
                           double updateEvery, std::unique_ptr<TNightLog> log, TLiveEvents events)
    : sources_(std::move(sources)), settings_(std::move(settings)), updateEvery_(updateEvery), log_(std::move(log)),
      events_(std::move(events))
{
}

bool TLiveSession::Ready() const
{
    // A first prediction as soon as the mirror and, unless a file gives
    // it, the air have reported.
    const bool mirror = data_.Has(lrSurface) || data_.Has(lrBack);
    return mirror && (data_.Has(lrAir) || settings_.Ahead) && data_.Rows().size() >= 2;
}

void TLiveSession::Take(TLiveRow row, bool replayed, std::stop_token stop)
{
    // Sources on threads of their own stamp a value when it arrives; one
    // that came while another source's was being taken counts at that
    // moment.
    if (!data_.Empty() && row.Time < data_.Rows().back().Time &&
        row.Time > data_.Rows().back().Time - LivePollWait.count() / 1000.0)
        row.Time = data_.Rows().back().Time;
    if (!std::isnan(row.Wind)) {
        data_.AddWind(row.Time, row.Wind);
        bool temperatures = false;
        for (double v : row.Values) temperatures = temperatures || !std::isnan(v);
        if (!temperatures)
            return;  // the wind alone is no reading of the night's log
    }
    if (!data_.Add(row)) {
        ++skipped_;
        if (events_.Said)
            events_.Said("a reading earlier than the last one received is left out");
        return;
    }
    if (log_)
        log_->Add(row);
    if (events_.Received)
        events_.Received(data_.Rows().back());
    pending_ = true;
    const bool dataDue = row.Time - lastUpdateData_ >= updateEvery_ * 60;
    const bool wallDue = replayed || std::chrono::steady_clock::now() - lastUpdateWall_ >=
                                         std::chrono::duration<double>(LiveUpdateWallSeconds);
    if (Ready() && (updates_ == 0 || (dataDue && wallDue)))
        Update(stop);
}

void TLiveSession::Update(std::stop_token stop)
{
    pending_ = false;
    lastUpdateData_ = data_.Rows().back().Time;
    lastUpdateWall_ = std::chrono::steady_clock::now();
    try {
        const TLiveUpdate u = PredictLive(data_, settings_, stop);
        if (stop.stop_requested())
            return;
        ++updates_;
        refused_.clear();
        if (events_.Updated)
            events_.Updated(u);
    } catch (const EBrennicError& e) {
        // Readings that cannot be read as a log yet: said once, and the
        // next update tries again.
        if (refused_ != e.what() && events_.Said)
            events_.Said(std::string("no prediction yet: ") + e.what());
        refused_ = e.what();
    }
}

void TLiveSession::Run(std::stop_token stop)
{
    std::vector<bool> ended(sources_.size(), false);
    while (!stop.stop_requested()) {
        std::string lost;
        bool allEnded = true;
        for (std::size_t i = 0; i < sources_.size() && !stop.stop_requested(); ++i) {
            if (ended[i])
                continue;
            const auto wait = LivePollWait / long(sources_.size());
            TLivePoll p = sources_[i]->Poll(wait);
            if (p.Refused)
                throw EBrennicError(*p.Refused);
            for (const std::string& note : p.Notes)
                if (events_.Said)
                    events_.Said(note);
            for (const std::string& line : p.Skipped) {
                ++skipped_;
                if (events_.Said)
                    events_.Said("skipped: " + line);
            }
            if (p.Lost)
                lost += (lost.empty() ? "" : "; ") + *p.Lost;
            for (const TLiveRow& row : p.Rows) Take(row, sources_[i]->Replayed(), stop);
            ended[i] = p.Ended;
            allEnded = allEnded && ended[i];
        }
        if (lost != lostText_) {
            lostText_ = lost;
            if (events_.Lost)
                events_.Lost(lost);
        }
        // A live night's data that waited for the wall clock.
        if (pending_ && Ready() &&
            std::chrono::steady_clock::now() - lastUpdateWall_ >= std::chrono::duration<double>(LiveUpdateWallSeconds) &&
            data_.Rows().back().Time - lastUpdateData_ >= updateEvery_ * 60)
            Update(stop);
        if (allEnded && !sources_.empty()) {
            if (pending_ && Ready())
                Update(stop);
            break;
        }
    }
    if (log_)
        log_->Flush();
}

}  // namespace brennic
