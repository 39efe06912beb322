// An INDI server through libindi's client: the values of number properties
// as the server sends them, from the devices it has.
#include "app/core/live/NetworkSources.h"

#include "support/LibStandard.h"
#include "support/LocalClock.h"
#include "support/NumberText.h"

#include <libindi/baseclient.h>
#include <libindi/basedevice.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <atomic>
#include <mutex>
#include <set>

namespace brennic {

namespace {

constexpr unsigned ConnectSeconds = 2;
constexpr double DefinitionSeconds = 2, DefinitionStep = 0.1;  // for the server to define its properties
constexpr double RetrySeconds = 2;
constexpr std::size_t ListedAtMost = 24;
constexpr double KilometresPerHour = 3.6;  // km/h in one m/s

// An INDI timestamp ("2026-12-09T20:15:03", UTC) as s since 1970; NaN when
// it reads otherwise.
double IndiTime(const char* text)
{
    std::tm t{};
    if (!text || std::sscanf(text, "%d-%d-%dT%d:%d:%d", &t.tm_year, &t.tm_mon, &t.tm_mday, &t.tm_hour, &t.tm_min,
                             &t.tm_sec) != 6)
        return std::nan("");
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    return double(timegm(&t));
}

class TIndi : public TQueuedSource, public INDI::BaseClient {
public:
    TIndi(const TIndiServer& server, std::vector<TIndiProperty> properties)
        : server_(server), properties_(std::move(properties))
    {
        setServer(server_.Host.c_str(), unsigned(server_.Port));
        setConnectionTimeout(ConnectSeconds, 0);
        setVerbose(false);
        StartThread();
    }
    ~TIndi() override
    {
        Stop();
        if (isServerConnected())
            disconnectServer();
    }
    std::string Name() const override { return "INDI " + server_.Host + ":" + std::to_string(server_.Port); }

protected:
    void newProperty(INDI::Property p) override
    {
        if (p.getType() != INDI_NUMBER)
            return;
        {
            std::lock_guard lock(seenMutex_);
            seen_.insert(std::string(p.getDeviceName()) + "." + p.getName());
        }
        updateProperty(p);
    }

    void updateProperty(INDI::Property p) override
    {
        if (p.getType() != INDI_NUMBER)
            return;
        for (const TIndiProperty& want : properties_) {
            if (want.Property != p.getName() || (!want.Device.empty() && want.Device != p.getDeviceName()))
                continue;
            const INDI::WidgetView<INumber>* element = nullptr;
            if (auto* number = p.getNumber())
                for (const auto& e : *number)
                    if (want.Element == e.getName())
                        element = &e;
            if (!element)
                continue;
            const double sent = IndiTime(p.getTimestamp());
            const double age = std::isfinite(sent) ? UtcNow() - sent : 0;
            const std::string what = Name() + " " + p.getDeviceName() + "." + p.getName() + "." + want.Element;
            if (want.Wind)
                DeliverWind(element->getValue() / KilometresPerHour, what, age);
            else
                Deliver(want.Role, element->getValue(), what, age);
        }
    }

    void serverConnected() override { connected_ = true; }
    void serverDisconnected(int) override
    {
        connected_ = false;
        Lose(Name() + ": the server went away");
    }

private:
    void Work(std::stop_token stop) override
    {
        bool checked = false;
        while (!stop.stop_requested()) {
            if (!connected_) {
                if (isServerConnected())
                    disconnectServer();
                if (!connectServer()) {
                    Lose(Name() + ": no server answers");
                    Sleep(stop, RetrySeconds);
                    continue;
                }
                connected_ = true;
                Found();
                if (!checked) {
                    for (double waited = 0; waited < DefinitionSeconds && !Complete(); waited += DefinitionStep)
                        if (!Sleep(stop, DefinitionStep))
                            return;
                    checked = true;
                    if (!CheckProperties())
                        return;
                }
            }
            Sleep(stop, RetrySeconds);
        }
    }

    std::set<std::string> Seen()
    {
        std::lock_guard lock(seenMutex_);
        return seen_;
    }

    static bool Has(const std::set<std::string>& seen, const TIndiProperty& p)
    {
        for (const std::string& s : seen)
            if ((p.Device.empty() ? s.substr(s.rfind('.') + 1) == p.Property : s == p.Device + "." + p.Property))
                return true;
        return false;
    }

    // Every property asked for by name has been defined, and one to read.
    bool Complete()
    {
        const std::set<std::string> seen = Seen();
        bool any = false;
        for (const TIndiProperty& p : properties_) {
            if (!p.Default && !Has(seen, p))
                return false;
            any = any || Has(seen, p);
        }
        return any;
    }

    // Every property asked for by name is on the server, and something is
    // read; else the night is refused with the properties the server has.
    bool CheckProperties()
    {
        const std::set<std::string> seen = Seen();
        auto has = [&](const TIndiProperty& p) { return Has(seen, p); };
        std::string missing;
        bool any = false;
        for (const TIndiProperty& p : properties_) {
            const bool here = has(p);
            any = any || here;
            if (!here && !p.Default)
                missing += (missing.empty() ? "" : ", ") + (p.Device.empty() ? "" : p.Device + ".") + p.Property;
        }
        if (missing.empty() && any) {
            std::string roles;
            for (const TIndiProperty& p : properties_)
                if (has(p))
                    roles += std::string(roles.empty() ? "" : ", ") + (p.Wind ? "wind" : LiveRoleKey(p.Role)) + " from " +
                             (p.Device.empty() ? "" : p.Device + ".") + p.Property + "." + p.Element;
            Note(Name() + ": " + roles);
            return true;
        }
        std::string list;
        std::size_t n = 0;
        for (const std::string& s : seen)
            if (n++ < ListedAtMost)
                list += (list.empty() ? "" : ", ") + s;
        if (seen.size() > ListedAtMost)
            list += ", …";
        Refuse(Name() + ": the server has no " +
               (missing.empty() ? std::string("WEATHER_PARAMETERS (no weather device, or it is not connected)") : missing) +
               "; its number properties: " + (list.empty() ? "none" : list));
        return false;
    }

    TIndiServer server_;
    std::vector<TIndiProperty> properties_;
    std::mutex seenMutex_;
    std::set<std::string> seen_;  // DEVICE.PROPERTY of the number properties defined
    std::atomic<bool> connected_{false};
};

}  // namespace

TIndiProperty ParseIndiProperty(const std::string& option, TLiveRole role, const std::string& text)
{
    // The device's name may hold dots: the property and element are the last two parts.
    const auto last = text.rfind('.');
    const auto middle = last == std::string::npos || last == 0 ? std::string::npos : text.rfind('.', last - 1);
    if (middle == std::string::npos || middle == 0 || last == text.size() - 1 || middle + 1 == last)
        throw EBrennicError(option + ": " + text +
                            " is not DEVICE.PROPERTY.ELEMENT (\"Focuser Simulator.FOCUS_TEMPERATURE.TEMPERATURE\")");
    TIndiProperty p;
    p.Role = role;
    p.Device = text.substr(0, middle);
    p.Property = text.substr(middle + 1, last - middle - 1);
    p.Element = text.substr(last + 1);
    return p;
}

std::vector<TIndiProperty> DefaultIndiProperties()
{
    return {{lrAir, "", "WEATHER_PARAMETERS", "WEATHER_TEMPERATURE", true},
            {lrDew, "", "WEATHER_PARAMETERS", "WEATHER_DEWPOINT", true},
            {lrAir, "", "WEATHER_PARAMETERS", "WEATHER_WIND_SPEED", true, true}};
}

TIndiServer ParseIndiServer(const std::string& text)
{
    TIndiServer s;
    s.Host = text;
    if (const auto colon = text.rfind(':'); colon != std::string::npos) {
        std::int32_t port = 0;
        if (!TryStrToInt(FromUtf8(text.substr(colon + 1)), port) || port < 1 || port > 65535)
            throw EBrennicError("--indi: " + text.substr(colon + 1) + " is not a port (1 to 65535)");
        s.Port = port;
        s.Host.erase(colon);
    }
    if (s.Host.empty())
        throw EBrennicError("--indi: " + text + " names no host (HOST[:PORT], localhost:7624)");
    return s;
}

std::unique_ptr<TLiveSource> IndiSource(const TIndiServer& server, std::vector<TIndiProperty> properties)
{
    return std::make_unique<TIndi>(server, std::move(properties));
}

std::unique_ptr<TLiveSource> IndiSourceFrom(const std::string& server, const std::string& mirror,
                                            const std::vector<std::string>& roleProperties)
{
    std::vector<TIndiProperty> properties;
    for (const std::string& text : roleProperties) {
        const auto eq = text.find('=');
        const std::string role = text.substr(0, eq == std::string::npos ? 0 : eq);
        int r = 0;
        while (r < LiveRoleCount && role != LiveRoleKey(TLiveRole(r))) ++r;
        if (r == LiveRoleCount)
            throw EBrennicError("--indi-property: " + text +
                                " is not ROLE=DEVICE.PROPERTY.ELEMENT with a role of air, surface, back, dew or sky");
        properties.push_back(ParseIndiProperty("--indi-property", TLiveRole(r), text.substr(eq + 1)));
    }
    if (!mirror.empty())
        properties.push_back(ParseIndiProperty("--indi-mirror", lrSurface, mirror));
    for (const TIndiProperty& d : DefaultIndiProperties()) {
        bool taken = false;
        for (const TIndiProperty& p : properties) taken = taken || (p.Role == d.Role && !d.Wind);
        if (!taken)
            properties.push_back(d);
    }
    return IndiSource(ParseIndiServer(server), std::move(properties));
}

}  // namespace brennic
