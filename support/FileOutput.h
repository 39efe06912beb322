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
};

// The system call that writes a block: returns the bytes written or -1 with
// errno set, like write(2). Tests replace it to inject failures.
using WriteFunction = std::function<long(int fd, const char* data, std::size_t size)>;

// Writes bytes to a temporary file beside path, flushes it to disk and
// renames it over path. On any failure the temporary file is removed and an
// existing file at path stays as it was.
void WriteFileAtomically(const std::string& path, std::string_view bytes, const WriteFunction& write = {});

// Text in the encoding of the user's locale (its LC_CTYPE codeset); a
// character the encoding lacks becomes '?'. ASCII text gives ASCII bytes.
std::string EncodeSystem8Bit(std::u16string_view text);

// Full path of a file name, as shown in messages.
std::string FullPath(const std::string& path);

}  // namespace brennic
