#include "support/BoundedRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace brennic {

TDescriptor::~TDescriptor()
{
    if (fd >= 0)
        ::close(fd);
}

namespace {


const char* KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "it is a folder, not a file";
    if (S_ISFIFO(mode))
        return "it is a FIFO, not a regular file";
    if (S_ISSOCK(mode))
        return "it is a socket, not a regular file";
    return "it is a device, not a regular file";
}

}  // namespace

std::string SizeText(std::size_t bytes)
{
    if (bytes >= (std::size_t(1) << 30) && bytes % (std::size_t(1) << 30) == 0)
        return std::to_string(bytes >> 30) + " GiB";
    if (bytes >= (std::size_t(1) << 20) && bytes % (std::size_t(1) << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0)
        return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}

std::string ReadBoundedFile(const std::string& path, std::size_t limit)
{
    // The kind is checked before opening: opening a FIFO waits for a writer.
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0)
        throw EReadError(std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        throw EReadError(KindOf(st.st_mode));
    TDescriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0)
        throw EReadError(std::strerror(errno));
    // The file may have been replaced since: check what was opened.
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw EReadError("it is not a regular file");
    // Refused from its size alone, before a byte is read.
    if (std::size_t(st.st_size) > limit)
        throw EReadError("it is " + SizeText(std::size_t(st.st_size)) + ", larger than the limit of " + SizeText(limit));
    std::string text;
    text.resize(std::size_t(st.st_size) + 1);
    std::size_t have = 0;
    while (true) {
        if (have == text.size()) {
            if (have > limit)
                throw EReadError("it is larger than the limit of " + SizeText(limit));
            text.resize(std::min(limit + 1, have * 2 + 4096));
        }
        const ssize_t n = ::read(file.fd, text.data() + have, text.size() - have);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EReadError(std::strerror(errno));
        if (n == 0)
            break;
        have += std::size_t(n);
    }
    if (have > limit)
        throw EReadError("it is larger than the limit of " + SizeText(limit));
    text.resize(have);
    return text;
}

}  // namespace brennic
