// What an MQTT message's payload says: a number ("9.8", "9.8 °C") or a JSON
// object with the value at a path ("$.temp", "$.sensors[0].t"), its unit
// from a "unit" or "unit_of_measurement" field beside it or at the top (°F
// and K converted to °C).
#pragma once

#include "app/core/live/LiveTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace brennic {

// One --mqtt-topic: ROLE=TOPIC[:JSONPATH].
struct TMqttTopic {
    TLiveRole Role = lrAir;
    std::string Topic, Path;
};
// Throws EBrennicError naming the option and what is wrong.
TMqttTopic ParseMqttTopic(const std::string& text);

// mqtt://HOST[:PORT] (port 1883 unless given).
struct TMqttBroker {
    std::string Host;
    int Port = 1883;
};
TMqttBroker ParseMqttUrl(const std::string& url);

// The temperature in °C; throws EBrennicError saying what is wrong with
// the payload (not a number, no such field, a unit that is no temperature).
double MqttTemperature(std::string_view payload, const std::string& path);

}  // namespace brennic
