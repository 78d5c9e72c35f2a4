#include "os/posix/instance_lock.h"

#include "os/posix/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace stock {
namespace {

constexpr std::size_t kMaxKey = 64;

// Closes a descriptor at the end of a scope.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// The lock file NAME in the folder DIR: a regular file of this user's that
// nobody else may write, never a symbolic link, never a device or a FIFO.
// Read access is all that a lock needs.
int openLockFile(int dir, const std::string& name, bool create) {
    const int flags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | (create ? O_CREAT : 0);
    Fd fd(::openat(dir, name.c_str(), flags, 0600));
    if (fd.get() < 0) return -1;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 022) != 0)
        return -1;
    return fd.release();
}

enum class LockResult { Taken, Held, Unusable };

LockResult tryLock(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return LockResult::Taken;
    return errno == EWOULDBLOCK ? LockResult::Held : LockResult::Unusable;
}

// The runtime folder named by XDG_RUNTIME_DIR when it is the user's own.
std::optional<std::string> runtimeFolder() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    if (!dir || *dir != '/') return std::nullopt;
    Fd fd(posix::openPrivateFolder(dir, false));
    if (fd.get() < 0) return std::nullopt;
    return std::string(dir);
}

// FNV-1a: a short, stable stand-in for an overlong display name.
std::uint64_t fingerprint(const std::string& s) {
    std::uint64_t h = 1469598103934665603ull;
    for (const unsigned char c : s) h = (h ^ c) * 1099511628211ull;
    return h;
}

}  // namespace

std::string PosixInstanceLock::displayKey(const std::string& display) {
    std::string host, number = display;
    if (const auto colon = display.rfind(':'); colon != std::string::npos) {
        host = display.substr(0, colon);
        number = display.substr(colon + 1);
    }
    if (const auto dot = number.find('.'); dot != std::string::npos) number.resize(dot);
    if (host == "unix" || host == "localhost" || host.starts_with('/')) host.clear();
    std::string key = host.empty() ? number : host + "_" + number;
    for (char& c : key)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-')) c = '_';
    if (key.size() > kMaxKey) {
        static constexpr char kHex[] = "0123456789abcdef";
        std::uint64_t h = fingerprint(key);
        key.resize(kMaxKey - 17);
        key += '_';
        for (int i = 0; i < 16; ++i, h >>= 4) key += kHex[h & 0xF];
    }
    return key.empty() ? "none" : key;
}

PosixInstanceLock::PosixInstanceLock(const std::string& display, std::string sharedTemp)
    : key_(displayKey(display)), sharedTemp_(std::move(sharedTemp)) {}

PosixInstanceLock::~PosixInstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool PosixInstanceLock::anotherInstanceRunning() {
    if (fd_ >= 0) return false;  // ours already
    const std::string uid = std::to_string(::getuid());

    if (const auto runtime = runtimeFolder()) {
        const std::string name = "stockkun-" + uid + "-" + key_ + ".lock";
        Fd dir(posix::openPrivateFolder(*runtime, false));
        Fd fd(dir.get() >= 0 ? openLockFile(dir.get(), name, true) : -1);
        if (fd.get() >= 0) {
            switch (tryLock(fd.get())) {
                case LockResult::Taken:
                    fd_ = fd.release();
                    path_ = *runtime + "/" + name;
                    return false;
                case LockResult::Held:
                    return true;
                case LockResult::Unusable:
                    break;
            }
        }
    }

    // Under the shared temporary folder: the first name of the row that is
    // (or can be made) the user's own private folder holds the lock; every
    // later one that exists and is the user's own is checked too.
    const std::string name = key_ + ".lock";
    for (int i = 0; i < kFolderNames; ++i) {
        const bool first = fd_ < 0;
        const std::string folder =
            sharedTemp_ + "/stockkun-" + uid + (i == 0 ? std::string() : "." + std::to_string(i));
        Fd dir(posix::openPrivateFolder(folder, first));
        if (dir.get() < 0) continue;
        Fd fd(openLockFile(dir.get(), name, first));
        if (fd.get() < 0) continue;
        switch (tryLock(fd.get())) {
            case LockResult::Taken:
                if (first) {
                    fd_ = fd.release();
                    path_ = folder;
                    path_ += '/';
                    path_ += name;
                }
                break;  // a later one taken only to look is let go at once
            case LockResult::Held:
                if (fd_ >= 0) ::close(fd_);
                fd_ = -1;
                path_.clear();
                return true;
            case LockResult::Unusable:
                break;
        }
    }
    // With no lock to be had anywhere, running is better than refusing.
    return false;
}

}  // namespace stock
