#include "os/posix/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace stock::posix {

int openPrivateFolder(const std::string& path, bool create) {
    if (create && ::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return -1;
    const int dir = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0) return -1;
    struct stat st {};
    bool ok = ::fstat(dir, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
    if (ok && (st.st_mode & 0700) != 0700)
        ok = ::fchmod(dir, 0700) == 0 && ::fstat(dir, &st) == 0 && (st.st_mode & 0777) == 0700;
    if (ok) return dir;
    ::close(dir);
    return -1;
}

bool makeDirectories(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return true;
        errno = ENOTDIR;
        return false;
    }
    if (const auto slash = dir.find_last_of('/'); slash != std::string::npos && slash > 0)
        if (!makeDirectories(dir.substr(0, slash))) return false;
    return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

bool writeWhole(const std::string& path, const std::string& body) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, 0644) == 0;
    for (std::size_t done = 0; ok && done < body.size();) {
        const ssize_t n = ::write(fd, body.data() + done, body.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    ok = ::fsync(fd) == 0 && ok;
    const int saved = errno;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) return true;
    const int reason = ok ? errno : saved;
    ::unlink(temp.c_str());
    errno = reason;
    return false;
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::optional<std::string> runningProgramPath() {
    char exe[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", exe, PATH_MAX);
    if (n <= 0) return std::nullopt;
    return std::string(exe, static_cast<std::size_t>(n));
}

}  // namespace stock::posix
