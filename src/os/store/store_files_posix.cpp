#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "os/posix/files.h"
#include "os/store/store_files.h"

namespace stock::store {

std::optional<StorePlace> defaultPlace() {
    std::string state;
    if (const char* v = std::getenv("XDG_STATE_HOME"); v && *v == '/') {
        state = v;
    } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
        state = std::string(home) + "/.local/state";
    } else {
        return std::nullopt;
    }
    while (state.size() > 1 && state.ends_with('/')) state.pop_back();
    const std::string folder = state + "/stockkun";
    return StorePlace{folder, folder + "/history.sqlite3"};
}

bool privateFolder(const std::string& folder) {
    // The parents are ordinary folders (~/.local/state), made as mkdir -p would.
    if (const auto slash = folder.find_last_of('/'); slash != std::string::npos && slash > 0)
        if (!posix::makeDirectories(folder.substr(0, slash))) return false;
    const int fd = posix::openPrivateFolder(folder, true);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool privateFile(const std::string& path, bool create) {
    const int flags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | (create ? O_CREAT : 0);
    const int fd = ::open(path.c_str(), flags, 0600);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid();
    // A file the umask or an older copy left open to others is closed again.
    if (ok && (st.st_mode & 0777) != 0600) ok = ::fchmod(fd, 0600) == 0;
    ::close(fd);
    return ok;
}

std::uint64_t fileIdentity(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return 0;
    return ((static_cast<std::uint64_t>(st.st_dev) << 40) ^ static_cast<std::uint64_t>(st.st_ino)) |
           (std::uint64_t{1} << 63);
}

bool moveFile(const std::string& from, const std::string& to) {
    // A hard link never replaces a file; the old name goes once it holds.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    return ::unlink(from.c_str()) == 0;
}

bool removeFile(const std::string& path) { return posix::removeFile(path) || errno == ENOENT; }

}  // namespace stock::store
