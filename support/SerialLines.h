// Lines from a serial port (a microcontroller's USB serial, a pseudo-
// terminal), raw 8N1 at a chosen speed, read with a time limit so that a
// silent device never holds the caller.
#pragma once

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace brennic {

class ESerialError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The speeds a port can be set to.
bool SerialSpeedKnown(long baud);

class TSerialLines {
public:
    // Opens and sets up the port; throws ESerialError naming the device and
    // the system's reason.
    TSerialLines(const std::string& device, long baud);
    ~TSerialLines();
    TSerialLines(const TSerialLines&) = delete;
    TSerialLines& operator=(const TSerialLines&) = delete;

    // The complete lines (without their line end) that arrive within the
    // wait; a line longer than the limit is cut there and counted. Throws
    // ESerialError when the device goes away (a cable pulled).
    std::vector<std::string> Read(std::chrono::milliseconds wait);
    std::size_t OverlongLines() const { return overlong_; }
    const std::string& Device() const { return device_; }

private:
    std::string device_;
    int fd_ = -1;
    std::string partial_;
    std::size_t overlong_ = 0;
};

}  // namespace brennic
