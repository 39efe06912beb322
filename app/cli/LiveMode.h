// brennic-sim's live night: --follow, --serial or --replay, and the
// servers --indi, --mqtt and --alpaca, an update of
// the prediction per minute of data, printed as text lines or JSON Lines
// (--live), until the replay ends or Ctrl-C.
#pragma once

#include "app/core/live/LivePrediction.h"

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace brennic {

struct TLiveOptions {
    std::string Follow, Serial, Replay, Log;
    std::string Indi, IndiMirror, Mqtt, Alpaca;
    std::vector<std::string> IndiProperties, MqttTopics;
    double PollEvery = 30;  // s, for an Alpaca device
    bool WindFromSource = false;
    bool JsonLines = false;
    double UpdateEvery = 1;  // minutes of data
    double Horizon = 0;      // minutes beyond the data; 0: to the end of the air ahead, or 6 h
};

void AddLiveOptions(CLI::App& app, TLiveOptions& live);
bool LiveAsked(const TLiveOptions& live);
// Options that do not go with a live night; throws EBrennicError.
void CheckLiveCombinations(const CLI::App& app, const TLiveOptions& live);

// Runs the night; returns the exit status. The settings carry the inputs;
// measuredColumns the roles of the columns or of the serial line's values.
int RunLive(const TLiveOptions& live, TLiveSettings settings, const std::string& measuredColumns,
            const TTableOptions& read);

}  // namespace brennic
