// The observatory's servers as live sources: a real MQTT broker (mosquitto)
// and INDI server (indiserver with its weather simulator) started on the
// loopback address, and an ASCOM Alpaca device stood in for by a loopback
// HTTP server answering as the Alpaca API describes.
#include "app/core/live/NetworkSources.h"
#include "tests/TempFolder.h"
#include "tests/app/CliRunner.h"
#include "tests/live/Servers.h"

#include <nlohmann/json.hpp>

#include <fstream>

using namespace brennic;
using namespace brennic::test;

namespace {

struct TPayloadCase {
    const char* Name;
    const char* Payload;
    const char* Path;
    double Celsius;     // NaN: refused
    const char* Error;  // part of the refusal
};

// brennic-sim on a live night, its updates as JSON Lines in a file.
class TLiveSim {
public:
    TLiveSim(const TTempFolder& folder, std::vector<std::string> args)
        : out_((folder.path / "updates.jsonl").string()), err_((folder.path / "notes.txt").string())
    {
        args.insert(args.begin(), {BRENNIC_SIM, "--live", "--live-log", (folder.path / "night.csv").string()});
        pid_ = ::fork();
        if (pid_ == 0) {
            std::freopen(out_.c_str(), "w", stdout);
            std::freopen(err_.c_str(), "w", stderr);
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(BRENNIC_SIM, argv.data());
            ::_exit(127);
        }
    }
    ~TLiveSim() { End(); }
    // The updates so far, waiting up to `seconds` for the first that `done` accepts.
    nlohmann::json WaitFor(const std::function<bool(const nlohmann::json&)>& done, double seconds = 15) const
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        do {
            std::istringstream lines(cli::ReadAll(out_));
            for (std::string line; std::getline(lines, line);) {
                const nlohmann::json u = nlohmann::json::parse(line, nullptr, false);
                if (!u.is_discarded() && done(u))
                    return u;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        } while (std::chrono::steady_clock::now() < end);
        return nullptr;
    }
    int End()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGINT);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        return status_;
    }
    std::string Notes() const { return cli::ReadAll(err_); }

private:
    std::string out_, err_;
    pid_t pid_ = -1;
    int status_ = -1;
};

bool Near(const std::vector<double>& values, double v)
{
    for (double x : values)
        if (std::abs(x - v) < 1e-9)
            return true;
    return false;
}

}  // namespace

TEST(MqttPayload, NumbersJsonFieldsAndUnitsReadOrRefusedByName)
{
    const double refused = std::nan("");
    const TPayloadCase cases[] = {
        {"plain number", " 9.8\n", "", 9.8, ""},
        {"negative with a unit", "-3.5 °C", "", -3.5, ""},
        {"Fahrenheit after the number", "50 °F", "", 10, ""},
        {"Kelvin", "283.15 K", "", 10, ""},
        {"JSON field", R"({"temp": 12.25})", "$.temp", 12.25, ""},
        {"JSON path without $", R"({"a": {"b": 7}})", "a.b", 7, ""},
        {"array index", R"({"sensors": [{"t": 1}, {"t": 2.5}]})", "$.sensors[1].t", 2.5, ""},
        {"unit beside the value", R"({"t": {"value": 68, "unit": "°F"}})", "$.t.value", 20, ""},
        {"Home Assistant's unit at the top", R"({"state": "41", "unit_of_measurement": "°F"})", "$.state", 5, ""},
        {"Tasmota's nesting", R"({"DS18B20": {"Temperature": 11.4}, "TempUnit": "C"})", "$.DS18B20.Temperature", 11.4, ""},
        {"not a number", "unavailable", "", refused, "'unavailable' is not a number"},
        {"JSON without a path", R"({"t": 1})", "", refused, "name its field"},
        {"a plain number where JSON is awaited", "12.5", "$.t", refused, "'12.5' is not a JSON object"},
        {"not JSON", "{12.5", "$.t", refused, "'{12.5' is not JSON"},
        {"no such field", R"({"t": 1})", "$.temp", refused, "has no $.temp"},
        {"a field that is text", R"({"t": "warm"})", "$.t", refused, "is not a number: \"warm\""},
        {"a unit that is no temperature", R"({"t": 1013, "unit": "hPa"})", "$.t", refused, "in hPa, not a temperature"},
        {"a number followed by words", "12 apples", "", refused, "in apples"},
    };
    for (const TPayloadCase& c : cases) {
        SCOPED_TRACE(c.Name);
        if (std::isnan(c.Celsius)) {
            try {
                MqttTemperature(c.Payload, c.Path);
                ADD_FAILURE() << "read, not refused";
            } catch (const EBrennicError& e) {
                EXPECT_NE(std::string(e.what()).find(c.Error), std::string::npos) << e.what();
            }
        } else {
            EXPECT_NEAR(MqttTemperature(c.Payload, c.Path), c.Celsius, 1e-9);
        }
    }
}

TEST(MqttPayload, TopicsAndBrokersRefusedNamingTheOption)
{
    const TMqttTopic t = ParseMqttTopic("surface=scope/mirror:$.temp");
    EXPECT_EQ(t.Role, lrSurface);
    EXPECT_EQ(t.Topic, "scope/mirror");
    EXPECT_EQ(t.Path, "$.temp");
    EXPECT_EQ(ParseMqttUrl("mqtt://obs.local").Port, 1883);
    EXPECT_EQ(ParseMqttUrl("mqtt://10.0.0.2:1884/").Host, "10.0.0.2");
    const std::pair<const char*, std::function<void()>> refusals[] = {
        {"--mqtt-topic: home/t is not ROLE=TOPIC", [] { ParseMqttTopic("home/t"); }},
        {"--mqtt-topic: mirror is not a role", [] { ParseMqttTopic("mirror=home/t"); }},
        {"names no topic", [] { ParseMqttTopic("air=:$.t"); }},
        {"--mqtt: https://x is not mqtt://HOST[:PORT]", [] { ParseMqttUrl("https://x"); }},
        {"--mqtt: 99999 is not a port", [] { ParseMqttUrl("mqtt://x:99999"); }},
        {"names no host", [] { ParseMqttUrl("mqtt://:1883"); }},
        {"--indi: 0 is not a port", [] { ParseIndiServer("obs:0"); }},
        {"--indi-mirror: Focuser.TEMP is not DEVICE.PROPERTY.ELEMENT",
         [] { ParseIndiProperty("--indi-mirror", lrSurface, "Focuser.TEMP"); }},
        {"--alpaca: http://obs:11111 is not http://HOST:PORT/DEVICE_NUMBER", [] { AlpacaSource("http://obs:11111", 30); }},
    };
    for (const auto& [message, call] : refusals) {
        SCOPED_TRACE(message);
        try {
            call();
            ADD_FAILURE() << "accepted";
        } catch (const EBrennicError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
    const TIndiProperty p = ParseIndiProperty("--indi-mirror", lrSurface, "Focuser v2.1.FOCUS_TEMPERATURE.TEMPERATURE");
    EXPECT_EQ(p.Device, "Focuser v2.1") << "a device's name may hold dots";
    EXPECT_EQ(p.Element, "TEMPERATURE");
}

TEST(LiveMqtt, TopicsRetainedValuesMalformedPayloadsAndABrokerThatRestarts)
{
    TTempFolder folder;
    TBroker broker(folder);
    broker.Publish("obs/air", "7.5", true);  // retained before the night starts
    auto source = MqttSource(ParseMqttUrl(broker.Url()),
                             {ParseMqttTopic("air=obs/air"), ParseMqttTopic("surface=obs/mirror:$.t")});
    TLivePoll p = PollUntil(*source, [](const TLivePoll& p) { return !p.Rows.empty(); });
    ASSERT_EQ(ValuesOf(p, lrAir), std::vector<double>{7.5});
    EXPECT_TRUE(Has(p.Notes, "obs/air: 7.50 °C retained by the broker from before, used once")) << p.Notes.size();
    EXPECT_TRUE(Has(p.Notes, "air from obs/air, surface from obs/mirror ($.t)"));

    broker.Publish("obs/mirror", R"({"t": 54.5, "unit": "°F"})");
    broker.Publish("obs/mirror", "garbage");
    broker.Publish("obs/air", "7.25");
    p = PollUntil(*source, [](const TLivePoll& p) { return p.Rows.size() >= 2 && !p.Skipped.empty(); });
    EXPECT_EQ(ValuesOf(p, lrSurface), std::vector<double>{12.5});
    EXPECT_EQ(ValuesOf(p, lrAir), std::vector<double>{7.25});
    ASSERT_EQ(p.Skipped.size(), 1u);
    EXPECT_EQ(p.Skipped[0], "obs/mirror: the payload 'garbage' is not JSON");

    broker.Stop();
    p = PollUntil(*source, [](const TLivePoll& p) { return p.Lost.has_value(); });
    ASSERT_TRUE(p.Lost) << "a broker that went away is said";
    EXPECT_NE(p.Lost->find(broker.Url()), std::string::npos) << *p.Lost;
    broker.Start();
    p = PollUntil(*source, [](const TLivePoll& p) { return !p.Lost; });
    EXPECT_FALSE(p.Lost) << "the source is found again";
    broker.Publish("obs/air", "6.5");
    p = PollUntil(*source, [](const TLivePoll& p) { return !p.Rows.empty(); });
    EXPECT_EQ(ValuesOf(p, lrAir), std::vector<double>{6.5}) << "the retained 7.5 is not used a second time";
}

TEST(LiveIndi, TheWeatherSimulatorsTemperatureFollowedThroughARestart)
{
    TIndiServerProcess server;
    auto source = IndiSource(ParseIndiServer(server.Address()), DefaultIndiProperties());
    TLivePoll p = PollUntil(*source, [](const TLivePoll& p) { return !p.Notes.empty(); });
    ASSERT_TRUE(Has(p.Notes, "air from WEATHER_PARAMETERS.WEATHER_TEMPERATURE")) << (p.Refused ? *p.Refused : "");
    server.Set("WEATHER_CONTROL.Wind=36");
    server.Temperature(3.5);
    const auto wind = [](const TLivePoll& p) {
        for (const TLiveRow& r : p.Rows)
            if (std::abs(r.Wind - 10) < 1e-9)
                return true;
        return false;
    };
    p = PollUntil(*source, [&](const TLivePoll& p) { return Near(ValuesOf(p, lrAir), 3.5) && wind(p); });
    EXPECT_TRUE(Near(ValuesOf(p, lrAir), 3.5)) << "the simulator's new temperature arrives";
    EXPECT_TRUE(wind(p)) << "36 km/h of wind as 10 m/s";

    server.Stop();
    p = PollUntil(*source, [](const TLivePoll& p) { return p.Lost.has_value(); });
    ASSERT_TRUE(p.Lost);
    EXPECT_NE(p.Lost->find("INDI " + server.Address()), std::string::npos) << *p.Lost;
    server.Start();
    server.Temperature(-1.25);
    p = PollUntil(*source, [](const TLivePoll& p) { return Near(ValuesOf(p, lrAir), -1.25); }, 12);
    EXPECT_TRUE(Near(ValuesOf(p, lrAir), -1.25)) << "followed again after the restart";
    EXPECT_FALSE(p.Lost);
}

TEST(LiveIndi, APropertyTheServerDoesNotHaveIsRefusedNamingThoseItHas)
{
    TIndiServerProcess server;
    auto properties = DefaultIndiProperties();
    properties.push_back(ParseIndiProperty("--indi-mirror", lrSurface, "Focuser.FOCUS_TEMPERATURE.TEMPERATURE"));
    auto source = IndiSource(ParseIndiServer(server.Address()), properties);
    const TLivePoll p = PollUntil(*source, [](const TLivePoll& p) { return p.Refused.has_value(); });
    ASSERT_TRUE(p.Refused);
    EXPECT_NE(p.Refused->find("has no Focuser.FOCUS_TEMPERATURE"), std::string::npos) << *p.Refused;
    EXPECT_NE(p.Refused->find("Weather Simulator.WEATHER_PARAMETERS"), std::string::npos) << *p.Refused;
}

TEST(LiveAlpaca, ValuesErrorNumbersANotImplementedPropertyOldValuesAndAStall)
{
    std::atomic<bool> stall{false};
    TLoopbackServer device([&](const std::string& line) -> TReply {
        if (stall)
            return {TReply::Stall};
        auto answer = [](const std::string& value, int error = 0, const std::string& message = "") {
            return TReply{TReply::Send, 200,
                          R"({"Value":)" + value + R"(,"ClientTransactionID":1,"ServerTransactionID":1,"ErrorNumber":)" +
                              std::to_string(error) + R"(,"ErrorMessage":")" + message + "\"}",
                          "application/json"};
        };
        const auto has = [&](const char* s) { return line.find(s) != std::string::npos; };
        if (has("/averageperiod"))
            return answer("0");
        if (has("/timesincelastupdate"))
            return answer(has("SensorName=SkyTemperature") ? "600" : "4");
        if (has("/temperature"))
            return answer("8.5");
        if (has("/dewpoint"))
            return answer("0", 0x400, "Property DewPoint is not implemented");
        if (has("/skytemperature"))
            return answer("-21");
        if (has("/windspeed"))
            return answer("2.5");
        return {TReply::Send, 400, "unknown"};
    });
    auto source = AlpacaSource(device.Url() + "/0", 0.2);
    TLivePoll p = PollUntil(*source, [](const TLivePoll& p) { return ValuesOf(p, lrAir).size() >= 2; });
    EXPECT_EQ(ValuesOf(p, lrAir), (std::vector<double>{8.5, 8.5}));
    bool wind = false;
    for (const TLiveRow& r : p.Rows) wind = wind || r.Wind == 2.5;
    EXPECT_TRUE(wind) << "the wind speed in m/s, apart from the temperatures";
    EXPECT_TRUE(ValuesOf(p, lrSky).empty()) << "a sky value ten minutes old is left out";
    EXPECT_TRUE(Has(p.Notes, "skytemperature: -21.00 is 10 min old and is left out"));
    EXPECT_TRUE(Has(p.Notes, "the device has no dewpoint; it is not asked again"));
    const std::vector<std::string> requests = device.Requests();
    int dew = 0;
    for (const std::string& r : requests) {
        dew += r.find("/dewpoint") != std::string::npos;
        EXPECT_NE(r.find("ClientID="), std::string::npos) << r;
        EXPECT_NE(r.find("ClientTransactionID="), std::string::npos) << r;
    }
    EXPECT_EQ(dew, 1);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].rfind("GET /api/v1/observingconditions/0/averageperiod?", 0), 0u) << requests[0];

    stall = true;
    p = PollUntil(*source, [](const TLivePoll& p) { return p.Lost.has_value(); });
    ASSERT_TRUE(p.Lost) << "a device that stalls is said, and nothing waits for it";
    EXPECT_NE(p.Lost->find(device.Url()), std::string::npos) << *p.Lost;
}

TEST(LiveServersCli, APredictionFromAnIndiWeatherStationAndAMirrorProbeOnMqtt)
{
    TTempFolder folder;
    TIndiServerProcess indi;
    TBroker broker(folder);
    indi.Temperature(4.5);
    TLiveSim sim(folder, {"--indi", indi.Address(), "--mqtt", broker.Url(), "--mqtt-topic", "surface=scope/mirror"});
    const auto predicted = [](const nlohmann::json& u) {
        return u["air"] == 4.5 && u["surface"].is_number() && u["ready"]["surface"]["0.5"]["at"].is_string();
    };
    nlohmann::json u;
    for (int i = 0; i < 40 && u.is_null(); ++i) {
        broker.Publish("scope/mirror", std::to_string(11.0 - i * 0.05));
        u = sim.WaitFor(predicted, 0.5);
    }
    ASSERT_FALSE(u.is_null()) << sim.Notes();
    EXPECT_NE(sim.Notes().find("air from WEATHER_PARAMETERS.WEATHER_TEMPERATURE"), std::string::npos) << sim.Notes();
    EXPECT_EQ(sim.End(), 0) << "Ctrl-C ends the night cleanly";
}

TEST(LiveServersCli, AnAlpacaDevicesAirAndAPropertyAnIndiServerLacksRefused)
{
    TTempFolder folder;
    TLoopbackServer device([](const std::string& line) -> TReply {
        const bool temperature = line.find("/temperature?") != std::string::npos;
        return {TReply::Send, 200,
                std::string(R"({"Value":)") + (temperature ? "6.25" : "0") + R"(,"ErrorNumber":)" +
                    (temperature || line.find("timesince") != std::string::npos ? "0" : "1024") +
                    R"(,"ErrorMessage":""})",
                "application/json"};
    });
    TBroker broker(folder);
    {
        TLiveSim sim(folder, {"--alpaca", device.Url() + "/0", "--poll-every", "0.3", "--mqtt", broker.Url(),
                              "--mqtt-topic", "surface=scope/mirror:$.t"});
        nlohmann::json u;
        for (int i = 0; i < 40 && u.is_null(); ++i) {
            broker.Publish("scope/mirror", R"({"t": )" + std::to_string(12.0 - i * 0.05) + "}");
            u = sim.WaitFor([](const nlohmann::json& u) { return u["air"] == 6.25 && u["surface"].is_number(); }, 0.5);
        }
        ASSERT_FALSE(u.is_null()) << sim.Notes();
        EXPECT_EQ(sim.End(), 0);
    }
    TIndiServerProcess indi;
    const Result r = RunSim("--indi " + indi.Address() + " --indi-mirror Focuser.FOCUS_TEMPERATURE.TEMPERATURE --live-log " +
                            (folder.path / "refused.csv").string());
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("the server has no Focuser.FOCUS_TEMPERATURE; its number properties: "), std::string::npos)
        << r.err;
}
