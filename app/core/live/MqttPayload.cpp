#include "app/core/live/MqttPayload.h"

#include "app/core/tables/ColumnRoles.h"
#include "app/core/tables/TextCells.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace brennic {

namespace {

constexpr double KelvinOffset = 273.15;


std::string_view Stripped(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Shown(std::string_view payload)
{
    payload = Stripped(payload);
    return "'" + std::string(payload.substr(0, 60)) + (payload.size() > 60 ? "…'" : "'");
}

// A unit's effect on a value; throws when it is not a temperature's.
double InCelsius(double v, std::string_view unit, std::string_view payload)
{
    unit = Stripped(unit);
    if (unit.empty() || CelsiusUnit(unit))
        return v;
    if (FahrenheitUnit(unit))
        return CelsiusFromFahrenheit(v);
    if (unit == "K")
        return v - KelvinOffset;
    throw EBrennicError("the payload " + Shown(payload) + " is in " + std::string(unit) + ", not a temperature");
}

// "$.a.b[0]" or "a.b" as a JSON pointer.
nlohmann::json::json_pointer Pointer(std::string path)
{
    if (path.rfind("$", 0) == 0)
        path.erase(0, 1);
    if (!path.empty() && path[0] == '.')
        path.erase(0, 1);
    std::string pointer;
    std::string part;
    auto flush = [&] {
        if (!part.empty())
            pointer += "/" + part;
        part.clear();
    };
    for (char c : path) {
        if (c == '.' || c == '[')
            flush();
        else if (c != ']')
            part += c == '~' ? std::string("~0") : c == '/' ? std::string("~1") : std::string(1, c);
    }
    flush();
    return nlohmann::json::json_pointer(pointer);
}

std::string UnitBeside(const nlohmann::json& object)
{
    for (const char* key : {"unit", "unit_of_measurement"})
        if (object.is_object() && object.contains(key) && object[key].is_string())
            return object[key].get<std::string>();
    return "";
}

}  // namespace

TMqttTopic ParseMqttTopic(const std::string& text)
{
    const auto eq = text.find('=');
    if (eq == std::string::npos)
        throw EBrennicError("--mqtt-topic: " + text + " is not ROLE=TOPIC[:JSONPATH] (air=home/outdoor/temperature)");
    TMqttTopic t;
    const std::string role = text.substr(0, eq);
    bool known = false;
    for (int r = 0; r < LiveRoleCount; ++r)
        if (role == LiveRoleKey(TLiveRole(r))) {
            t.Role = TLiveRole(r);
            known = true;
        }
    if (!known)
        throw EBrennicError("--mqtt-topic: " + role + " is not a role (air, surface, back, dew or sky)");
    t.Topic = text.substr(eq + 1);
    if (const auto colon = t.Topic.rfind(':'); colon != std::string::npos) {
        t.Path = t.Topic.substr(colon + 1);
        t.Topic.erase(colon);
    }
    if (t.Topic.empty())
        throw EBrennicError("--mqtt-topic: " + text + " names no topic");
    return t;
}

TMqttBroker ParseMqttUrl(const std::string& url)
{
    const std::string scheme = "mqtt://";
    if (url.rfind(scheme, 0) != 0)
        throw EBrennicError("--mqtt: " + url + " is not mqtt://HOST[:PORT] (an encrypted mqtts:// broker is not read)");
    TMqttBroker b;
    std::string rest = url.substr(scheme.size());
    if (!rest.empty() && rest.back() == '/')
        rest.pop_back();
    if (const auto colon = rest.rfind(':'); colon != std::string::npos) {
        std::int32_t port = 0;
        if (!TryStrToInt(FromUtf8(rest.substr(colon + 1)), port) || port < 1 || port > 65535)
            throw EBrennicError("--mqtt: " + rest.substr(colon + 1) + " is not a port (1 to 65535)");
        b.Port = port;
        rest.erase(colon);
    }
    if (rest.empty() || rest.find('/') != std::string::npos)
        throw EBrennicError("--mqtt: " + url + " names no host (mqtt://HOST[:PORT])");
    b.Host = rest;
    return b;
}

double MqttTemperature(std::string_view payload, const std::string& path)
{
    const std::string_view text = Stripped(payload);
    double v = 0;
    if (path.empty()) {
        // A number, perhaps with its unit after it.
        const std::size_t end = text.find_first_not_of("+-0123456789.eE");
        if (end != 0 && TryStrToFloat(FromUtf8(text.substr(0, end == std::string_view::npos ? text.size() : end)), u'.', v) &&
            std::isfinite(v))
            return InCelsius(v, end == std::string_view::npos ? "" : text.substr(end), payload);
        if (!text.empty() && text.front() == '{')
            throw EBrennicError("the payload " + Shown(payload) + " is JSON: name its field (TOPIC:$.field)");
        throw EBrennicError("the payload " + Shown(payload) + " is not a number");
    }
    const nlohmann::json j = nlohmann::json::parse(text, nullptr, false);
    if (j.is_discarded())
        throw EBrennicError("the payload " + Shown(payload) + " is not JSON");
    if (!j.is_object() && !j.is_array())
        throw EBrennicError("the payload " + Shown(payload) + " is not a JSON object: name the topic without " + path +
                            " for a plain value");
    const auto pointer = Pointer(path);
    if (!j.contains(pointer))
        throw EBrennicError("the payload " + Shown(payload) + " has no " + path);
    const nlohmann::json& value = j[pointer];
    if (value.is_number())
        v = value.get<double>();
    else if (!(value.is_string() && TryStrToFloat(FromUtf8(Trim(value.get<std::string>())), u'.', v)))
        throw EBrennicError("the payload's " + path + " is not a number: " + value.dump());
    if (!std::isfinite(v))
        throw EBrennicError("the payload's " + path + " is not a finite number");
    std::string unit = UnitBeside(j[pointer.parent_pointer()]);
    if (unit.empty())
        unit = UnitBeside(j);
    return InCelsius(v, unit, payload);
}

}  // namespace brennic
