// Readings from the observatory's servers: an MQTT broker's topics, an INDI
// server's properties, an ASCOM Alpaca ObservingConditions device. Each
// reads on a thread of its own and stamps a value when it arrives.
#pragma once

#include "app/core/live/MqttPayload.h"
#include "app/core/live/QueuedSource.h"

#include <memory>
#include <string>
#include <vector>

namespace brennic {

// Subscribes to the topics; follows the broker through restarts.
std::unique_ptr<TLiveSource> MqttSource(const TMqttBroker& broker, std::vector<TMqttTopic> topics);

// One role read from an INDI property: DEVICE.PROPERTY.ELEMENT; an empty
// device stands for any device that has the property.
struct TIndiProperty {
    TLiveRole Role = lrAir;
    std::string Device, Property, Element;
    bool Default = false;  // the standard weather interface's, not asked for by name
    bool Wind = false;     // the wind speed (km/h, as the weather interface gives it), not a temperature
};
// "Focuser Name.FOCUS_TEMPERATURE.TEMPERATURE"; throws EBrennicError.
TIndiProperty ParseIndiProperty(const std::string& option, TLiveRole role, const std::string& text);
// The weather interface's air temperature, dew point and wind speed, on any device.
std::vector<TIndiProperty> DefaultIndiProperties();
// HOST[:PORT], port 7624 unless given.
struct TIndiServer {
    std::string Host;
    int Port = 7624;
};
TIndiServer ParseIndiServer(const std::string& text);
// Follows the server through restarts; a property asked for by name that
// the server does not have ends the night, naming those it has.
std::unique_ptr<TLiveSource> IndiSource(const TIndiServer& server, std::vector<TIndiProperty> properties);

// The source as the options give it: the server (HOST[:PORT]), a mirror
// probe's property (may be empty) and ROLE=DEVICE.PROPERTY.ELEMENT for
// others; the weather interface's air and dew point for roles not named.
std::unique_ptr<TLiveSource> IndiSourceFrom(const std::string& server, const std::string& mirror,
                                            const std::vector<std::string>& roleProperties);
// mqtt://HOST[:PORT] and ROLE=TOPIC[:JSONPATH] for each role.
std::unique_ptr<TLiveSource> MqttSourceFrom(const std::string& url, const std::vector<std::string>& topics);

// http://HOST:PORT/DEVICE_NUMBER, polled every `every` seconds (or the
// device's average period, when longer).
std::unique_ptr<TLiveSource> AlpacaSource(const std::string& url, double every);

}  // namespace brennic
