#include "support/FollowedFile.h"

#include "support/BoundedRead.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brennic {

TFollowedFile::TFollowedFile(std::string path, std::size_t limit) : path_(std::move(path)), limit_(limit) {}

TFollowedFile::TPoll TFollowedFile::Poll()
{
    TPoll poll;
    struct stat st;
    if (::stat(path_.c_str(), &st) != 0) {
        poll.State = TState::Missing;
        poll.Note = std::string("it cannot be read: ") + std::strerror(errno);
        missing_ = true;
        return poll;
    }
    if (!S_ISREG(st.st_mode))
        throw EReadError("it is not a regular file");
    if (std::size_t(st.st_size) > limit_)
        throw EReadError("it is " + SizeText(std::size_t(st.st_size)) + ", larger than the limit of " + SizeText(limit_));
    const bool replaced = known_ && (st.st_dev != device_ || st.st_ino != inode_);
    const bool truncated = known_ && !replaced && st.st_size < offset_;
    if (replaced || truncated || (missing_ && known_)) {
        poll.Restarted = true;
        poll.Note = replaced || missing_ ? "it was replaced by a new file, followed from its start"
                                         : "it was cut short, followed again from its start";
        offset_ = 0;
        partial_.clear();
    }
    missing_ = false;
    device_ = st.st_dev;
    inode_ = st.st_ino;
    known_ = true;
    if (st.st_size == offset_)
        return poll;
    TDescriptor file{::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0) {
        poll.State = TState::Missing;
        poll.Note = std::string("it cannot be read: ") + std::strerror(errno);
        return poll;
    }
    std::string text = std::move(partial_);
    partial_.clear();
    char buffer[65536];
    while (true) {
        const ssize_t n = ::pread(file.fd, buffer, sizeof buffer, offset_);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EReadError(std::strerror(errno));
        if (n == 0)
            break;
        offset_ += n;
        text.append(buffer, std::size_t(n));
        if (std::size_t(offset_) > limit_)
            throw EReadError("it is larger than the limit of " + SizeText(limit_));
    }
    const std::size_t end = text.rfind('\n');
    if (end == std::string::npos) {
        partial_ = std::move(text);
        return poll;
    }
    partial_ = text.substr(end + 1);
    text.resize(end + 1);
    poll.Lines = std::move(text);
    return poll;
}

}  // namespace brennic
