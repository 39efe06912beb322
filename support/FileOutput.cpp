#include "support/FileOutput.h"

#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <utility>

namespace brennic {

namespace {

[[noreturn]] void CannotCreate(const std::string& fullPath, int error)
{
    throw EFCreateError("Cannot create file \"" + fullPath + "\". " + std::strerror(error));
}

// Temporary files not yet committed, for the signal handler: fixed storage,
// written with the signals blocked, read by the handler alone.
struct TPendingSlot {
    volatile std::sig_atomic_t used;
    char path[PATH_MAX];
};
std::array<TPendingSlot, 8> pendingFiles{};

// The signals whose default action ends the process, on which the
// temporary files are removed.
constexpr int CleanupSignals[] = {SIGINT,  SIGTERM,   SIGHUP,  SIGQUIT, SIGUSR1,
                                  SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGPIPE};

// Blocks the cleanup signals for its lifetime.
class TSignalBlock {
public:
    TSignalBlock()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int s : CleanupSignals) sigaddset(&set, s);
        ::pthread_sigmask(SIG_BLOCK, &set, &old_);
    }
    ~TSignalBlock() { ::pthread_sigmask(SIG_SETMASK, &old_, nullptr); }

private:
    sigset_t old_;
};

int RegisterPending(const std::string& path)
{
    if (path.size() >= PATH_MAX)
        return -1;
    TSignalBlock block;
    for (std::size_t i = 0; i < pendingFiles.size(); ++i) {
        if (!pendingFiles[i].used) {
            std::memcpy(pendingFiles[i].path, path.c_str(), path.size() + 1);
            pendingFiles[i].used = 1;
            return int(i);
        }
    }
    return -1;
}

extern "C" void RemovePendingAndExit(int signal)
{
    for (auto& slot : pendingFiles)
        if (slot.used)
            ::unlink(slot.path);
    ::_exit(128 + signal);
}

// The temporary name beside the target: "." + name + ".XXXXXX", the name
// shortened (at a character boundary) to keep within the folder's limit.
std::string TemporaryName(const std::filesystem::path& target)
{
    const std::string folder = target.parent_path().string();
    long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    if (limit <= 0)
        limit = NAME_MAX;
    std::string name = target.filename().string();
    const std::size_t room = std::size_t(std::max(limit - 8, 1L));
    if (name.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.resize(cut);
    }
    return (target.parent_path() / ("." + name + ".XXXXXX")).string();
}

void SyncFolder(const std::string& file)
{
    const std::string folder = std::filesystem::path(file).parent_path().string();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);  // some file systems cannot; the rename has happened anyway
    ::close(fd);
}

}  // namespace

void RemoveTemporaryFilesOnSignals()
{
    struct sigaction action {};
    action.sa_handler = RemovePendingAndExit;
    sigemptyset(&action.sa_mask);
    for (int s : CleanupSignals) sigaddset(&action.sa_mask, s);
    for (int s : CleanupSignals) ::sigaction(s, &action, nullptr);
    // A file-size limit makes the write fail (EFBIG), reported as such,
    // instead of ending the process.
    ::signal(SIGXFSZ, SIG_IGN);
}

int RegisterTemporaryFile(const std::string& path)
{
    TSignalBlock block;
    return RegisterPending(path);
}

void ForgetTemporaryFile(int slot)
{
    TSignalBlock block;
    if (slot >= 0)
        pendingFiles[std::size_t(slot)].used = 0;
}

// In a folder everyone may write to and only owners may delete from (the
// sticky bit, as /tmp), a link is followed only when it belongs to this
// user or to the folder's owner: the rule the kernel applies to its own
// opens (protected_symlinks), which it cannot apply here because the link
// is resolved by hand. Another user's link there may point anywhere.
static void RefuseForeignLink(const std::string& shown, const std::filesystem::path& link)
{
    struct stat l {}, folder {};
    const std::filesystem::path parent = link.parent_path().empty() ? "." : link.parent_path();
    if (::lstat(link.c_str(), &l) != 0 || ::stat(parent.c_str(), &folder) != 0)
        return;
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    if (shared && l.st_uid != ::geteuid() && l.st_uid != folder.st_uid)
        throw EFCreateError("Cannot create file \"" + shown + "\". It is a link another user made in a shared folder (" +
                            parent.string() + "); it is not followed");
}

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
    // Replace what a link points to, not the link itself, even when it
    // points at nothing yet (a chain of at most 40 links).
    std::error_code ec;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(target, ec); ++hops) {
        RefuseForeignLink(fullPath_, target);
        const std::filesystem::path link = std::filesystem::read_symlink(target, ec);
        if (ec)
            break;
        target = (link.is_absolute() ? link : target.parent_path() / link).lexically_normal();
    }
    target_ = target.string();

    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        CannotCreate(fullPath_, EISDIR);
    if (exists && ::access(target_.c_str(), W_OK) != 0)
        CannotCreate(fullPath_, errno);
    if (exists && !S_ISREG(existing.st_mode)) {
        // A pipe or a device cannot be replaced, only written to. A FIFO
        // that no process reads is refused rather than waited on.
        // A reader about to open it has two seconds to do so.
        for (int tries = 0; tries < 200; ++tries) {
            fd_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
            if (fd_ >= 0 || errno != ENXIO)
                break;
            ::usleep(10000);
        }
        if (fd_ < 0 && errno == ENXIO)
            throw EFCreateError("Cannot create file \"" + fullPath_ + "\". No process reads from this FIFO");
        if (fd_ < 0)
            CannotCreate(fullPath_, errno);
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        direct_ = true;
        return;
    }

    std::string temp = TemporaryName(target);
    {
        TSignalBlock block;
        fd_ = ::mkstemp(temp.data());
        if (fd_ < 0)
            CannotCreate(fullPath_, errno);
        tempPath_ = temp;
        slot_ = RegisterPending(tempPath_);
    }
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
    TSignalBlock block;
    if (!tempPath_.empty())
        ::unlink(tempPath_.c_str());
    if (slot_ >= 0)
        pendingFiles[std::size_t(slot_)].used = 0;
}

std::string EWriteError::Detail() const
{
    return Path.empty() ? what() : "cannot write \"" + Path + "\": " + std::strerror(Error ? Error : EIO);
}

void TAtomicFile::Write(std::string_view bytes)
{
    if (fd_ < 0)
        throw EWriteError(fullPath_, EBADF);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long n = write_ ? write_(fd_, bytes.data() + done, bytes.size() - done)
                              : ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw EWriteError(fullPath_, n < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(n);
    }
}

void TAtomicFile::Commit()
{
    if (fd_ < 0)
        throw EWriteError(fullPath_, EBADF);
    if (!direct_ && ::fsync(fd_) != 0)
        throw EWriteError(fullPath_, errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        throw EWriteError(fullPath_, errno);
    if (direct_)
        return;
    {
        TSignalBlock block;
        if (::rename(tempPath_.c_str(), target_.c_str()) != 0)
            CannotCreate(fullPath_, errno);
        tempPath_.clear();
        if (slot_ >= 0)
            pendingFiles[std::size_t(slot_)].used = 0;
        slot_ = -1;
    }
    SyncFolder(target_);
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
    if (cd == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr): iconv's error value
        for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
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
