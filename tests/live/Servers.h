// The servers the live night's network tests start on the loopback address:
// a program run as a child (mosquitto, indiserver), stopped with the test,
// and polling a source until what is awaited arrives.
#pragma once

#include "app/core/live/LiveSources.h"
#include "tests/TempFolder.h"
#include "tests/app/LoopbackServer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <fstream>
#include <memory>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace brennic::test {

class TChild {
public:
    explicit TChild(std::vector<std::string> args, const std::string& output = "/dev/null")
    {
        pid_ = ::fork();
        if (pid_ == 0) {
            if (FILE* f = std::freopen(output.c_str(), "w", stdout); f)
                ::dup2(::fileno(f), 2);
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~TChild() { Stop(SIGTERM); }
    // Ends the child; its exit status, or -1 when a signal ended it.
    int Stop(int signal)
    {
        if (pid_ <= 0)
            return status_;
        ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return status_;
    }

private:
    pid_t pid_ = -1;
    int status_ = -1;
};

inline int FreePort()
{
    return TLoopbackServer::ClosedPort();
}

// Waits up to five seconds for a server to listen on a loopback port.
inline bool Listening(int port)
{
    for (int i = 0; i < 100; ++i) {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(std::uint16_t(port));
        const bool up = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        ::close(s);
        if (up)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

inline void Run(const std::string& command)
{
    ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
}

// Everything a source gives until `done` says so, at most `seconds`.
inline TLivePoll PollUntil(TLiveSource& source, const std::function<bool(const TLivePoll&)>& done, double seconds = 8)
{
    TLivePoll all;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        TLivePoll p = source.Poll(std::chrono::milliseconds(100));
        all.Rows.insert(all.Rows.end(), p.Rows.begin(), p.Rows.end());
        all.Notes.insert(all.Notes.end(), p.Notes.begin(), p.Notes.end());
        all.Skipped.insert(all.Skipped.end(), p.Skipped.begin(), p.Skipped.end());
        all.Lost = p.Lost;
        if (p.Refused)
            all.Refused = p.Refused;
    } while (std::chrono::steady_clock::now() < end && !done(all));
    return all;
}

inline std::vector<double> ValuesOf(const TLivePoll& p, TLiveRole role)
{
    std::vector<double> v;
    for (const TLiveRow& r : p.Rows)
        if (!std::isnan(r.Values[std::size_t(role)]))
            v.push_back(r.Values[std::size_t(role)]);
    return v;
}

inline bool Has(const std::vector<std::string>& lines, const std::string& part)
{
    for (const std::string& l : lines)
        if (l.find(part) != std::string::npos)
            return true;
    return false;
}

// mosquitto on a loopback port of its own.
class TBroker {
public:
    explicit TBroker(const TTempFolder& folder) : port_(FreePort()), config_((folder.path / "broker.conf").string())
    {
        std::ofstream(config_) << "listener " << port_ << " 127.0.0.1\nallow_anonymous true\n";
        Start();
    }
    void Start()
    {
        child_ = std::make_unique<TChild>(std::vector<std::string>{"mosquitto", "-c", config_});
        ASSERT_TRUE(Listening(port_)) << "mosquitto did not start";
    }
    void Stop() { child_.reset(); }
    void Publish(const std::string& topic, const std::string& payload, bool retain = false) const
    {
        Run("mosquitto_pub -p " + std::to_string(port_) + " -t '" + topic + "' -m '" + payload + "'" +
            (retain ? " -r" : ""));
    }
    std::string Url() const { return "mqtt://127.0.0.1:" + std::to_string(port_); }
    int Port() const { return port_; }

private:
    int port_;
    std::string config_;
    std::unique_ptr<TChild> child_;
};

// indiserver with the weather simulator, connected, on a loopback port of
// its own.
class TIndiServerProcess {
public:
    TIndiServerProcess() : port_(FreePort()) { Start(); }
    void Start()
    {
        // A local socket of its own, so that servers of tests running at once do not meet.
        child_ = std::make_unique<TChild>(std::vector<std::string>{
            "indiserver", "-u", "/tmp/brennic-indi-" + std::to_string(port_), "-p", std::to_string(port_),
            "indi_simulator_weather"});
        ASSERT_TRUE(Listening(port_)) << "indiserver did not start";
        // The driver defines its properties just after the server listens.
        for (int i = 0; i < 50 && std::system(("indi_setprop -p " + std::to_string(port_) +
                                               " 'Weather Simulator.CONNECTION.CONNECT=On' >/dev/null 2>&1").c_str()) != 0;
             ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    void Stop() { child_.reset(); }
    void Set(const std::string& what) const
    {
        Run("indi_setprop -p " + std::to_string(port_) + " 'Weather Simulator." + what + "'");
    }
    // The simulator's temperature, sent to its clients at once.
    void Temperature(double celsius) const
    {
        Set("WEATHER_CONTROL.Temperature=" + std::to_string(celsius));
        Set("WEATHER_REFRESH.REFRESH=On");
    }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    int port_;
    std::unique_ptr<TChild> child_;
};

}  // namespace brennic::test
