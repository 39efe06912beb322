// Reading a file from outside: only a regular file, never waited on, and
// never more than a limit.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace brennic {

// Closes a file descriptor on every path out of a scope.
struct TDescriptor {
    explicit TDescriptor(int descriptor) : fd(descriptor) {}
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    ~TDescriptor();
    int fd;
};

inline constexpr std::size_t TableSizeLimit = std::size_t(256) << 20;  // air files, logs, forecasts
inline constexpr std::size_t ScenarioSizeLimit = std::size_t(1) << 20;
inline constexpr std::size_t LineSizeLimit = std::size_t(1) << 20;

// Why a file could not be read: its text names the reason, not the file.
class EReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole file. Throws EReadError for a folder, a FIFO, a device or a
// socket (refused without opening it for reading: a FIFO with no writer
// would wait for ever), for a file larger than limit bytes ("it is 1 GiB,
// larger than the limit of 256 MiB", from its size before anything is read;
// "it is larger than the limit of 256 MiB" when it grows while read), and
// for what the system refuses (its own words).
std::string ReadBoundedFile(const std::string& path, std::size_t limit);

// Bytes in the form a limit is quoted: "256 MiB", "1 MiB", "512 KiB".
std::string SizeText(std::size_t bytes);

}  // namespace brennic
