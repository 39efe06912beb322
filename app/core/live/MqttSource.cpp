// MQTT through libmosquitto, its network loop run on the source's thread so
// that stopping the night never waits for the broker.
#include "app/core/live/NetworkSources.h"

#include "app/core/results/ResultText.h"
#include "support/LibStandard.h"

#include <mosquitto.h>

#include <map>
#include <mutex>

namespace brennic {

namespace {

constexpr int KeepAliveSeconds = 30;
constexpr int LoopMilliseconds = 100;
constexpr double RetrySeconds = 1;

class TMqtt : public TQueuedSource {
public:
    TMqtt(const TMqttBroker& broker, std::vector<TMqttTopic> topics) : broker_(broker), topics_(std::move(topics))
    {
        static std::once_flag init;
        std::call_once(init, [] { mosquitto_lib_init(); });
        client_ = mosquitto_new(nullptr, true, this);
        if (!client_)
            throw EBrennicError("--mqtt: no MQTT client could be made");
        mosquitto_connect_callback_set(client_, [](mosquitto*, void* self, int rc) {
            static_cast<TMqtt*>(self)->Connected(rc);
        });
        mosquitto_subscribe_callback_set(client_, [](mosquitto*, void* self, int, int, const int*) {
            static_cast<TMqtt*>(self)->Found();
        });
        mosquitto_message_callback_set(client_, [](mosquitto*, void* self, const mosquitto_message* m) {
            static_cast<TMqtt*>(self)->Received(m);
        });
        StartThread();
    }
    ~TMqtt() override
    {
        Stop();
        mosquitto_destroy(client_);
    }
    std::string Name() const override { return Address(); }

private:
    std::string Address() const { return "mqtt://" + broker_.Host + ":" + std::to_string(broker_.Port); }

    void Work(std::stop_token stop) override
    {
        bool connected = false;
        while (!stop.stop_requested()) {
            if (!connected) {
                const int rc = mosquitto_connect(client_, broker_.Host.c_str(), broker_.Port, KeepAliveSeconds);
                if (rc != MOSQ_ERR_SUCCESS) {
                    Lose(Address() + ": " + mosquitto_strerror(rc));
                    Sleep(stop, RetrySeconds);
                    continue;
                }
                connected = true;
            }
            const int rc = mosquitto_loop(client_, LoopMilliseconds, 1);
            if (rc != MOSQ_ERR_SUCCESS) {
                Lose(Address() + ": " + (rc == MOSQ_ERR_CONN_LOST ? std::string("the broker went away")
                                                                   : std::string(mosquitto_strerror(rc))));
                mosquitto_disconnect(client_);
                connected = false;
                Sleep(stop, RetrySeconds);
            }
        }
        mosquitto_disconnect(client_);
    }

    void Connected(int rc)
    {
        if (rc != 0) {
            Lose(Address() + ": the broker refused the connection (" + mosquitto_connack_string(rc) + ")");
            return;
        }
        // Found again once the broker has taken the subscriptions.
        for (const TMqttTopic& t : topics_) mosquitto_subscribe(client_, nullptr, t.Topic.c_str(), 0);
        if (!said_) {
            std::string roles;
            for (const TMqttTopic& t : topics_)
                roles += std::string(roles.empty() ? "" : ", ") + LiveRoleKey(t.Role) + " from " + t.Topic +
                         (t.Path.empty() ? "" : " (" + t.Path + ")");
            Note(Address() + ": " + roles);
            said_ = true;
        }
    }

    void Received(const mosquitto_message* m)
    {
        const std::string topic = m->topic ? m->topic : "";
        const std::string_view payload(static_cast<const char*>(m->payload), std::size_t(std::max(0, m->payloadlen)));
        for (const TMqttTopic& t : topics_) {
            bool matches = false;
            mosquitto_topic_matches_sub(t.Topic.c_str(), topic.c_str(), &matches);
            if (!matches)
                continue;
            // A retained value is from before: used once, at the first connection.
            if (m->retain && heard_.count(topic) > 0)
                continue;
            try {
                const double v = MqttTemperature(payload, t.Path);
                if (m->retain)
                    Note(topic + ": " + FixedText(v, 2, u'.') + " \u00b0C retained by the broker from before, used once");
                Deliver(t.Role, v, topic);
                heard_[topic] = true;
            } catch (const EBrennicError& e) {
                Skip(topic + ": " + e.what());
            }
        }
    }

    TMqttBroker broker_;
    std::vector<TMqttTopic> topics_;
    mosquitto* client_ = nullptr;
    std::map<std::string, bool> heard_;  // on the source's thread only
    bool said_ = false;
};

}  // namespace

std::unique_ptr<TLiveSource> MqttSource(const TMqttBroker& broker, std::vector<TMqttTopic> topics)
{
    if (topics.empty())
        throw EBrennicError("--mqtt: say which topic gives what with --mqtt-topic ROLE=TOPIC (air=home/outdoor/temperature)");
    return std::make_unique<TMqtt>(broker, std::move(topics));
}

std::unique_ptr<TLiveSource> MqttSourceFrom(const std::string& url, const std::vector<std::string>& topics)
{
    const TMqttBroker broker = ParseMqttUrl(url);
    std::vector<TMqttTopic> parsed;
    for (const std::string& t : topics) parsed.push_back(ParseMqttTopic(t));
    return MqttSource(broker, std::move(parsed));
}

}  // namespace brennic
