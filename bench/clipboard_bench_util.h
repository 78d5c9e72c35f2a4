// Shared by the clipboard benchmarks: a 10 MiB text and an owner holding it.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace stock::bench {

// utime + stime of a process, in milliseconds.
inline double cpuMs(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    std::getline(in, stat);
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream rest(stat.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// About `bytes` of UTF-8 text in lines with CR LF, kana and an emoji.
inline std::string bigUtf8(std::size_t bytes) {
    const std::string line = "すとっくん clipboard line 0123456789 \xF0\x9F\x98\x80 テキスト\r\n";
    std::string s;
    s.reserve(bytes + line.size());
    while (s.size() < bytes) s += line;
    return s;
}

inline std::string writeTemp(const std::string& bytes) {
    char name[] = "/tmp/stockkun-bench-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) throw std::runtime_error("mkstemp");
    close(fd);
    std::ofstream(name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return name;
}

// Starts a program with stdin from `input` and output discarded.
inline pid_t spawn(std::vector<std::string> args, const std::string& input = "/dev/null") {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " + args[0]);
    return pid;
}

inline void stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// The process has not ended (a child not reaped yet counts as running).
inline bool running(pid_t pid) { return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0; }

// The built program's own clock: a program started after this object
// appends a line to the file after each tick of its clipboard timer.
class TickTrace {
public:
    TickTrace() : path_(writeTemp("")) { setenv("STOCKKUN_TRACE_TICKS", path_.c_str(), 1); }
    ~TickTrace() {
        unsetenv("STOCKKUN_TRACE_TICKS");
        std::remove(path_.c_str());
    }
    TickTrace(const TickTrace&) = delete;
    TickTrace& operator=(const TickTrace&) = delete;

    int count() const {
        std::ifstream in(path_);
        std::string line;
        int n = 0;
        while (std::getline(in, line)) ++n;
        return n;
    }
    // Waits until `n` more ticks have finished; false when none came for `silence`.
    bool waitTicks(int n, std::chrono::seconds silence = std::chrono::seconds(30)) const {
        int seen = count();
        const int target = seen + n;
        auto lastTick = std::chrono::steady_clock::now();
        while (seen < target) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const int now = count();
            if (now > seen) lastTick = std::chrono::steady_clock::now();
            if (std::chrono::steady_clock::now() - lastTick > silence) return false;
            seen = now;
        }
        return true;
    }

private:
    std::string path_;
};

// A Wayland session (the program then reads the compositor's clipboard).
inline bool wayland() {
    const char* d = std::getenv("WAYLAND_DISPLAY");
    return d && *d;
}
inline const char* session() { return wayland() ? "Wayland" : "X11"; }

// A clipboard owner holding the file's bytes, in the foreground: wl-copy in
// a Wayland session, xclip otherwise.
inline pid_t ownerHolding(const std::string& file) {
    if (wayland()) return spawn({"wl-copy", "--foreground", "--type", "text/plain;charset=utf-8"}, file);
    return spawn({"xclip", "-quiet", "-selection", "clipboard", "-target", "UTF8_STRING", "-in"}, file);
}

}  // namespace stock::bench
