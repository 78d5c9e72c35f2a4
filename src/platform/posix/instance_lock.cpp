#include "platform/posix/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace stock {
namespace {

std::string lockDirectory() {
    // The per-user runtime folder when it is ours; /tmp otherwise (the file
    // name carries the user id there).
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && *dir == '/') {
        struct stat st {};
        if (::stat(dir, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid()) return dir;
    }
    return "/tmp";
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
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-'))
            c = '_';
    return key.empty() ? "none" : key;
}

PosixInstanceLock::PosixInstanceLock(std::string display)
    : path_(lockDirectory() + "/stockkun-" + std::to_string(::getuid()) + "-" +
            displayKey(display) + ".lock") {}

PosixInstanceLock::~PosixInstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool PosixInstanceLock::anotherInstanceRunning() {
    if (fd_ >= 0) return false;  // ours already
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;  // cannot tell: better to run than to refuse
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held;
    }
    fd_ = fd;
    return false;
}

}  // namespace stock
