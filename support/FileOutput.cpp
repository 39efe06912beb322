#include "FileOutput.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iconv.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace brennic {

namespace {

[[noreturn]] void CannotCreate(const std::string& fullPath, int error)
{
    throw EFCreateError("Cannot create file \"" + fullPath + "\". " + std::strerror(error));
}

}  // namespace

std::string FullPath(const std::string& path)
{
    std::error_code ec;
    const auto abs = std::filesystem::absolute(path, ec);
    return ec ? path : abs.lexically_normal().string();
}

TAtomicFile::TAtomicFile(const std::string& path, WriteFunction write)
    : fullPath_(FullPath(path)), write_(std::move(write))
{
    std::filesystem::path target(fullPath_);
    // Replace what a link points to, not the link itself.
    std::error_code ec;
    if (std::filesystem::is_symlink(target, ec)) {
        const auto resolved = std::filesystem::weakly_canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    target_ = target.string();

    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        CannotCreate(fullPath_, EISDIR);
    if (exists && ::access(target_.c_str(), W_OK) != 0)
        CannotCreate(fullPath_, errno);

    std::string temp = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    fd_ = ::mkstemp(temp.data());
    if (fd_ < 0)
        CannotCreate(fullPath_, errno);
    tempPath_ = temp;
    // Keep the permissions of the file being replaced, or the usual ones.
    mode_t mode;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd_, mode);
}

TAtomicFile::~TAtomicFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!tempPath_.empty())
        ::unlink(tempPath_.c_str());
}

void TAtomicFile::Write(std::string_view bytes)
{
    if (fd_ < 0)
        throw EWriteError();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long n = write_ ? write_(fd_, bytes.data() + done, bytes.size() - done)
                              : ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw EWriteError();
        done += static_cast<std::size_t>(n);
    }
}

void TAtomicFile::Commit()
{
    if (fd_ < 0)
        throw EWriteError();
    if (::fsync(fd_) != 0)
        throw EWriteError();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        throw EWriteError();
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0)
        CannotCreate(fullPath_, errno);
    tempPath_.clear();
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, const WriteFunction& write)
{
    TAtomicFile file(path, write);
    file.Write(bytes);
    file.Commit();
}

std::string EncodeSystem8Bit(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    bool ascii = true;
    for (char16_t c : text) {
        if (c >= 0x80) {
            ascii = false;
            break;
        }
        out += static_cast<char>(c);
    }
    if (ascii)
        return out;

    out.clear();
    const char* codeset = ::nl_langinfo(CODESET);
    iconv_t cd = ::iconv_open(codeset && *codeset ? codeset : "ASCII", "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (char16_t c : text)
            out += c < 0x80 ? static_cast<char>(c) : '?';
        return out;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::size_t units = 1;
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            units = 2;
        if (text[i] < 0x80) {
            out += static_cast<char>(text[i]);
            continue;
        }
        char in[4];
        for (std::size_t k = 0; k < units; ++k) {
            in[2 * k] = static_cast<char>(text[i + k] & 0xFF);
            in[2 * k + 1] = static_cast<char>(text[i + k] >> 8);
        }
        char buffer[16];
        char* inp = in;
        std::size_t inLeft = 2 * units;
        char* outp = buffer;
        std::size_t outLeft = sizeof buffer;
        if (::iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1)) {
            out += '?';
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else {
            out.append(buffer, static_cast<std::size_t>(outp - buffer));
        }
        i += units - 1;
    }
    ::iconv_close(cd);
    return out;
}

}  // namespace brennic
