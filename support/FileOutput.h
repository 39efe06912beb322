// Writing a whole file safely, and the system's 8-bit text encoding.
#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brennic {

// The file could not be created; the message names the full path and the
// system's reason.
class EFCreateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fewer bytes reached the file than were written.
class EWriteError : public std::runtime_error {
public:
    EWriteError() : std::runtime_error("Stream write error") {}
    EWriteError(std::string path, int error)
        : std::runtime_error("Stream write error"), Path(std::move(path)), Error(error)
    {
    }
    // "cannot write "/path": No space left on device", where the file is known.
    std::string Detail() const;
    std::string Path;  // empty: the stream's own
    int Error = 0;
};

// The system call that writes a block: returns the bytes written or -1 with
// errno set, like write(2). Tests replace it to inject failures.
using WriteFunction = std::function<long(int fd, const char* data, std::size_t size)>;

// A file written in pieces to a temporary file beside its path and renamed
// over the path by Commit, once every byte is flushed to disk; the folder is
// flushed too, so the new name survives a crash. Until then, and on any
// failure, an existing file at the path stays as it was; a writer that is
// destroyed without Commit removes its temporary file. A symbolic link stays
// and the file it points to is replaced, in that file's folder. An existing
// path that is not a regular file (a FIFO, a device) is written directly.
class TAtomicFile {
public:
    explicit TAtomicFile(const std::string& path, WriteFunction write = {});
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;
    ~TAtomicFile();

    void Write(std::string_view bytes);  // throws EWriteError
    void Commit();                       // throws EWriteError or EFCreateError
    const std::string& Path() const { return fullPath_; }

private:
    std::string fullPath_;
    std::string target_;
    std::string tempPath_;
    int fd_ = -1;
    bool direct_ = false;
    int slot_ = -1;  // where the temporary name is registered for the signal handler
    WriteFunction write_;
};

// From now on every signal whose default action ends the process (SIGINT,
// SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,
// SIGPIPE) removes the temporary files of the writers not yet committed
// (with async-signal-safe calls only) and ends the process with status
// 128 + the signal's number; SIGXFSZ is ignored, so that a write beyond a
// file-size limit fails as a write.
void RemoveTemporaryFilesOnSignals();

// Another temporary file for those signals to remove (a scratch file of a
// library), and forgetting it once it is gone; -1 when the table is full.
int RegisterTemporaryFile(const std::string& path);
void ForgetTemporaryFile(int slot);

// The whole file in one go, through TAtomicFile.
void WriteFileAtomically(const std::string& path, std::string_view bytes, const WriteFunction& write = {});

// Text in the encoding of the user's locale (its LC_CTYPE codeset); a
// character the encoding lacks becomes '?'. ASCII text gives ASCII bytes.
std::string EncodeSystem8Bit(std::u16string_view text);

// Full path of a file name, as shown in messages.
std::string FullPath(const std::string& path);

}  // namespace brennic
