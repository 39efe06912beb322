// An ASCOM Alpaca ObservingConditions device through its REST interface
// (ASCOM Alpaca API, version 1): each property a GET answered by a JSON
// object with "Value", "ErrorNumber" and "ErrorMessage".
#include "app/core/live/NetworkSources.h"

#include "support/HttpGet.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <set>

namespace brennic {

namespace {

// The Alpaca error number of a property the device does not implement.
constexpr long NotImplemented = 0x400;
// A request waits at most this long, and no longer than a poll's period.
constexpr double RequestSeconds = 5, RequestSecondsAtLeast = 1;
constexpr double HoursToSeconds = 3600;

struct TAlpacaValue {
    const char* Property;  // as the URL names it
    const char* Sensor;    // as timesincelastupdate names it
    TLiveRole Role;
    bool Wind;             // m/s, not a temperature
};
constexpr TAlpacaValue Values[] = {{"temperature", "Temperature", lrAir, false},
                                   {"dewpoint", "DewPoint", lrDew, false},
                                   {"skytemperature", "SkyTemperature", lrSky, false},
                                   {"windspeed", "WindSpeed", lrAir, true}};

std::atomic<unsigned> transaction{0};

class TAlpaca : public TQueuedSource {
public:
    TAlpaca(std::string base, int device, double every) : base_(std::move(base)), device_(device), every_(every)
    {
        StartThread();
    }
    ~TAlpaca() override { Stop(); }
    std::string Name() const override { return Url(""); }

private:
    std::string Url(const std::string& property) const
    {
        return base_ + "/api/v1/observingconditions/" + std::to_string(device_) + (property.empty() ? "" : "/" + property);
    }

    // The answer's Value; throws EBrennicError with the device's error, or
    // EHttpError when there is no answer.
    nlohmann::json Ask(const std::string& property, const std::string& query = "")
    {
        THttpOptions o;
        o.ConnectSeconds = o.TotalSeconds = std::clamp(every_, RequestSecondsAtLeast, RequestSeconds);
        o.Limit = 1 << 16;
        const std::string url = Url(property) + "?" + query + (query.empty() ? "" : "&") +
                                "ClientID=" + std::to_string(ClientId) +
                                "&ClientTransactionID=" + std::to_string(++transaction);
        const THttpResponse r = HttpGet(url, o);
        const nlohmann::json j = nlohmann::json::parse(r.Body, nullptr, false);
        if (j.is_discarded() || !j.is_object())
            throw EBrennicError(property + ": the device answered HTTP " + std::to_string(r.Status) +
                                " without the Alpaca JSON object");
        const long error = j.value("ErrorNumber", 0L);
        if (error != 0) {
            lastError_ = error;
            throw EBrennicError(property + ": error " + std::to_string(error) + " (" +
                                j.value("ErrorMessage", std::string()) + ")");
        }
        if (r.Status != 200 || !j.contains("Value"))
            throw EBrennicError(property + ": the device answered HTTP " + std::to_string(r.Status));
        return j["Value"];
    }

    void Work(std::stop_token stop) override
    {
        double every = every_;
        bool first = true;
        while (!stop.stop_requested()) {
            try {
                if (first) {
                    // Values averaged over a longer period change no faster.
                    try {
                        const double hours = Ask("averageperiod").get<double>();
                        if (std::isfinite(hours) && hours * HoursToSeconds > every)
                            every = hours * HoursToSeconds;
                    } catch (const EBrennicError&) {
                    }
                    Note(Name() + ": polled every " + std::to_string(long(std::lround(every))) + " s");
                    first = false;
                }
                PollOnce();
                Found();
            } catch (const EHttpError& e) {
                Lose(Name() + ": " + e.what());
            } catch (const nlohmann::json::exception& e) {
                Lose(Name() + ": " + e.what());
            }
            Sleep(stop, every);
        }
    }

    void PollOnce()
    {
        for (const TAlpacaValue& v : Values) {
            if (absent_.count(v.Property) > 0)
                continue;
            double value = 0;
            try {
                const nlohmann::json j = Ask(v.Property);
                value = j.is_number() ? j.get<double>() : std::nan("");
            } catch (const EBrennicError& e) {
                if (lastError_ == NotImplemented) {
                    absent_.insert(v.Property);
                    Note(Name() + ": the device has no " + v.Property + "; it is not asked again");
                } else {
                    Skip(Name() + ": " + e.what());
                }
                lastError_ = 0;
                continue;
            }
            double age = 0;
            try {
                age = Ask("timesincelastupdate", std::string("SensorName=") + v.Sensor).get<double>();
            } catch (const EBrennicError&) {
                lastError_ = 0;  // a device that does not say: the value is taken as new
            }
            if (v.Wind)
                DeliverWind(value, Name() + " " + v.Property, std::isfinite(age) ? age : 0);
            else
                Deliver(v.Role, value, Name() + " " + v.Property, std::isfinite(age) ? age : 0);
        }
    }

    static constexpr unsigned ClientId = 4711;
    std::string base_;
    int device_;
    double every_;
    long lastError_ = 0;
    std::set<std::string> absent_;
};

}  // namespace

std::unique_ptr<TLiveSource> AlpacaSource(const std::string& url, double every)
{
    const std::string http = "http://";
    std::string rest = url;
    if (!rest.empty() && rest.back() == '/')
        rest.pop_back();
    const auto slash = rest.rfind('/');
    std::int32_t device = -1;
    if (rest.rfind(http, 0) != 0 || slash == std::string::npos || slash < http.size() ||
        !TryStrToInt(FromUtf8(rest.substr(slash + 1)), device) || device < 0)
        throw EBrennicError("--alpaca: " + url + " is not http://HOST:PORT/DEVICE_NUMBER (http://192.168.1.20:11111/0)");
    return std::make_unique<TAlpaca>(rest.substr(0, slash), device, every);
}

}  // namespace brennic
