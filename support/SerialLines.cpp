#include "support/SerialLines.h"

#include "support/BoundedRead.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace brennic {

namespace {

struct TSpeed {
    long Baud;
    speed_t Code;
};
constexpr TSpeed Speeds[] = {{1200, B1200},     {2400, B2400},     {4800, B4800},   {9600, B9600},
                             {19200, B19200},   {38400, B38400},   {57600, B57600}, {115200, B115200},
                             {230400, B230400}, {460800, B460800}, {921600, B921600}};

// A serial line is short; one without an end for this long is cut.
constexpr std::size_t MaxLine = 4096;

[[noreturn]] void Fail(const std::string& device, const std::string& what)
{
    throw ESerialError(device + ": " + what + ": " + std::strerror(errno));
}

}  // namespace

bool SerialSpeedKnown(long baud)
{
    for (const TSpeed& s : Speeds)
        if (s.Baud == baud)
            return true;
    return false;
}

TSerialLines::TSerialLines(const std::string& device, long baud) : device_(device)
{
    speed_t code = B9600;
    bool known = false;
    for (const TSpeed& s : Speeds)
        if (s.Baud == baud) {
            code = s.Code;
            known = true;
        }
    if (!known)
        throw ESerialError(device + ": " + std::to_string(baud) + " is not a serial speed");
    fd_ = ::open(device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        Fail(device, "cannot be opened");
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) {
        const int e = errno;
        ::close(fd_);
        errno = e;
        Fail(device, "is not a serial port");
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&tio, code);
    ::cfsetospeed(&tio, code);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) {
        const int e = errno;
        ::close(fd_);
        errno = e;
        Fail(device, "cannot be set up");
    }
}

TSerialLines::~TSerialLines()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::vector<std::string> TSerialLines::Read(std::chrono::milliseconds wait)
{
    std::vector<std::string> lines;
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, int(wait.count()));
    if (ready < 0 && errno != EINTR)
        Fail(device_, "cannot be read");
    if (ready <= 0)
        return lines;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
        // Data may still wait before the hang-up.
        if (!(p.revents & POLLIN))
            throw ESerialError(device_ + ": the device has gone away");
    }
    char buffer[4096];
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return lines;
    if (n < 0)
        Fail(device_, "cannot be read");
    if (n == 0)
        throw ESerialError(device_ + ": the device has gone away");
    for (ssize_t i = 0; i < n; ++i) {
        const char c = buffer[i];
        if (c == '\n' || c == '\r') {
            if (!partial_.empty())
                lines.push_back(std::move(partial_));
            partial_.clear();
        } else if (partial_.size() < MaxLine) {
            partial_ += c;
            if (partial_.size() == MaxLine) {
                ++overlong_;
                lines.push_back(std::move(partial_));
                partial_.clear();
            }
        }
    }
    return lines;
}

}  // namespace brennic
