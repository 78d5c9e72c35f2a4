#include "os/posix/programs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "core/text/ansi.h"

namespace stock {
namespace {

class Pipe {
public:
    Pipe() {
        if (pipe2(fd, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    }
    ~Pipe() {
        closeEnd(0);
        closeEnd(1);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    void closeEnd(int i) {
        if (fd[i] >= 0) ::close(fd[i]);
        fd[i] = -1;
    }
    int fd[2] = {-1, -1};
};

}  // namespace

bool PosixPrograms::isFile(const std::u16string& path) {
    const std::string p = toAnsi(path);
    struct stat st {};
    return !p.empty() && ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void PosixPrograms::start(const std::u16string& path) {
    const std::string program = toAnsi(path);
    if (program.empty()) throw std::system_error(ENOENT, std::generic_category(), "no program");
    if (program.find('\0') != std::string::npos)
        throw std::system_error(EINVAL, std::generic_category(), "bad program path");

    // Twice forked: the middle process ends at once and is reaped here, so
    // the program is nobody's child to wait for. Its exec failure comes back
    // through a pipe that a successful exec closes.
    Pipe report;
    char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const pid_t middle = ::fork();
    if (middle < 0) throw std::system_error(errno, std::generic_category(), "fork");
    if (middle == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::execv(program.c_str(), argv);
            const int e = errno;
            [[maybe_unused]] auto n = ::write(report.fd[1], &e, sizeof e);
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    report.closeEnd(1);
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::system_error(EAGAIN, std::generic_category(), "fork");
    int error = 0;
    ssize_t n = 0;
    while ((n = ::read(report.fd[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    if (n > 0) throw std::system_error(error, std::generic_category(), "exec " + program);
}

}  // namespace stock
