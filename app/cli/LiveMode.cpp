#include "app/cli/LiveMode.h"

#include "app/cli/AirOptions.h"
#include "app/cli/CliOutput.h"
#include "app/core/live/LiveReport.h"
#include "app/core/live/LiveSession.h"
#include "app/core/live/NetworkSources.h"
#include "support/LocalClock.h"
#include "support/SerialLines.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <thread>

namespace brennic {

namespace {

constexpr double DefaultBaud = 9600, DefaultReplaySpeed = 60;

std::atomic<bool> interrupted{false};

void Interrupt(int)
{
    interrupted = true;
}

// Ctrl-C and a polite kill end the night between two polls: the night's log
// is written through and closed.
void StopOnSignals()
{
    struct sigaction action {};
    action.sa_handler = Interrupt;
    sigemptyset(&action.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(s, &action, nullptr);
}

void AddServerSources(const TLiveOptions& o, std::vector<std::unique_ptr<TLiveSource>>& sources)
{
    if (!o.Indi.empty())
        sources.push_back(IndiSourceFrom(o.Indi, o.IndiMirror, o.IndiProperties));
    if (!o.Mqtt.empty())
        sources.push_back(MqttSourceFrom(o.Mqtt, o.MqttTopics));
    if (!o.Alpaca.empty())
        sources.push_back(AlpacaSource(o.Alpaca, o.PollEvery));
}

std::vector<std::unique_ptr<TLiveSource>> Sources(const TLiveOptions& o, const std::string& columns,
                                                  const TTableOptions& read)
{
    std::vector<std::unique_ptr<TLiveSource>> sources;
    if (!o.Follow.empty())
        sources.push_back(FollowSource(o.Follow, ParseLogColumns(columns), read));
    if (!o.Replay.empty()) {
        const TPathAndNumber r = SplitPathAndNumber("--replay", o.Replay, DefaultReplaySpeed);
        sources.push_back(ReplaySource(r.Path, ParseLogColumns(columns), read, r.Number));
    }
    if (!o.Serial.empty()) {
        const TPathAndNumber s = SplitPathAndNumber("--serial", o.Serial, DefaultBaud);
        if (!SerialSpeedKnown(long(s.Number)) || s.Number != double(long(s.Number)))
            throw EBrennicError("--serial: " + o.Serial.substr(o.Serial.rfind(',') + 1) +
                                " is not a serial speed (1200 to 921600 baud)");
        sources.push_back(SerialSource(s.Path, long(s.Number), ParseLineRoles(columns)));
    }
    AddServerSources(o, sources);
    return sources;
}

}  // namespace

void AddLiveOptions(CLI::App& app, TLiveOptions& o)
{
    app.add_option("--follow", o.Follow, "follow a file a logger appends to, and predict as it grows");
    app.add_option("--serial", o.Serial, "read the mirror's sensors from a serial port: DEVICE[,BAUD] (default 9600)");
    app.add_option("--replay", o.Replay, "play a recorded log as if live: FILE[,SPEED] (default 60 times; 0: at once)");
    app.add_option("--indi", o.Indi, "read the air and dew point from an INDI server's weather device: HOST[:PORT] "
                                     "(default port 7624)");
    app.add_option("--indi-mirror", o.IndiMirror, "the INDI property of a mirror probe: DEVICE.PROPERTY.ELEMENT "
                                                  "(\"Focuser.FOCUS_TEMPERATURE.TEMPERATURE\")");
    app.add_option("--indi-property", o.IndiProperties, "a role from an INDI property: ROLE=DEVICE.PROPERTY.ELEMENT "
                                                        "(repeatable)");
    app.add_option("--mqtt", o.Mqtt, "read readings from an MQTT broker: mqtt://HOST[:PORT]");
    app.add_option("--mqtt-topic", o.MqttTopics, "a role from an MQTT topic: ROLE=TOPIC[:JSONPATH] "
                                                  "(air=home/outdoor/temperature, surface=scope/mirror:$.temp; repeatable)");
    app.add_option("--alpaca", o.Alpaca, "read an ASCOM Alpaca ObservingConditions device: http://HOST:PORT/DEVICE_NUMBER");
    app.add_option("--poll-every", o.PollEvery, "seconds between two readings of an Alpaca device")
        ->capture_default_str()
        ->check(CLI::Range(0.1, 3600.0));
    app.add_flag("--wind-from-source", o.WindFromSource,
                 "the front air speed from the wind an INDI or Alpaca weather station reports (with --films conditions)");
    app.add_flag("--live", o.JsonLines, "print each live update as one JSON object per line");
    app.add_option("--live-log", o.Log, "keep every reading of the night in this file (default: in your data folder)");
    app.add_option("--update-every", o.UpdateEvery, "minutes of data between live updates")
        ->capture_default_str()
        ->check(CLI::Range(0.1, 1440.0));
    app.add_option("--horizon", o.Horizon, "minutes the live prediction looks beyond the data (default: to the end "
                                           "of the air file or forecast, else 360)")
        ->check(CLI::Range(1.0, 7 * 1440.0));
}

bool LiveAsked(const TLiveOptions& o)
{
    return !o.Follow.empty() || !o.Serial.empty() || !o.Replay.empty() || !o.Indi.empty() || !o.Mqtt.empty() ||
           !o.Alpaca.empty();
}

void CheckLiveCombinations(const CLI::App& app, const TLiveOptions& o)
{
    const int sources = int(!o.Follow.empty()) + int(!o.Replay.empty());
    if (sources > 1)
        throw EBrennicError("--follow and --replay: one file at a time (a serial port may join either)");
    for (auto [option, server, name] : {std::tuple{"--indi-mirror", &o.Indi, "--indi"}, {"--indi-property", &o.Indi, "--indi"},
                                        {"--mqtt-topic", &o.Mqtt, "--mqtt"}, {"--poll-every", &o.Alpaca, "--alpaca"}})
        if (app.count(option) > 0 && server->empty())
            throw EBrennicError(std::string(option) + ": it goes with " + name);
    if (!LiveAsked(o)) {
        for (const char* option : {"--live", "--live-log", "--update-every", "--horizon", "--wind-from-source"})
            if (app.count(option) > 0)
                throw EBrennicError(std::string(option) +
                                    ": it goes with --follow, --serial, --replay, --indi, --mqtt or --alpaca");
        return;
    }
    if (o.WindFromSource && o.Indi.empty() && o.Alpaca.empty())
        throw EBrennicError("--wind-from-source: the wind comes from a weather station: --indi or --alpaca");
    for (const char* option : {"--measured", "--fit", "--sweep", "--summary", "--output", "--json", "--scenario"})
        if (app.count(option) > 0)
            throw EBrennicError(std::string(option) +
                                ": a live night prints its own updates (text, or JSON Lines with --live); leave it out");
}

int RunLive(const TLiveOptions& o, TLiveSettings settings, const std::string& columns, const TTableOptions& read)
{
    if (o.Horizon > 0)
        settings.Horizon = o.Horizon * 60;
    settings.WindFromSource = o.WindFromSource;
    if (o.WindFromSource && settings.Base.Texts.Text(fFilms) != u"conditions")
        throw EBrennicError("--wind-from-source: the wind sets the front air speed of the films from the conditions "
                            "(--films conditions)");
    TLiveEvents events;
    events.Updated = [&o](const TLiveUpdate& u) {
        std::fputs(((o.JsonLines ? LiveJsonLine(u) : LiveTextLine(u)) + "\n").c_str(), stdout);
        std::fflush(stdout);
    };
    events.Said = [](const std::string& note) { Say(note); };
    events.Lost = [](const std::string& lost) {
        Say(lost.empty() ? "every source gives data again" : "waiting for the source: " + lost);
    };
    auto sources = Sources(o, columns, read);
    const std::string path = o.Log.empty() ? DefaultNightLogPath(UtcNow()) : o.Log;
    auto log = std::make_unique<TNightLog>(path);
    Say("the night's readings go to " + path);
    TLiveSession session(std::move(sources), std::move(settings), o.UpdateEvery, std::move(log), events);
    StopOnSignals();
    std::stop_source stop;
    std::jthread watch([&stop](std::stop_token done) {
        while (!done.stop_requested() && !interrupted) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (interrupted)
            stop.request_stop();
    });
    session.Run(stop.get_token());
    watch.request_stop();
    if (session.SkippedLines() > 0)
        Say(std::to_string(session.SkippedLines()) + " readings skipped");
    return 0;
}

}  // namespace brennic
