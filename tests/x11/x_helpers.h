// Helpers for tests against a real X server: clipboard owners run as child
// processes, texts as temporary files.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "support/scratch.h"

extern char** environ;

namespace stock::test {

// A file holding BYTES, removed when the test program ends.
inline std::string tempFile(const std::string& bytes) {
    static const ScratchDir dir{"stockkun-x11"};
    static int n = 0;
    return dir.file(std::to_string(n++), bytes).string();
}

// A child process, stopped (SIGTERM) when the object goes. With `stdinPath`
// "" its input is /dev/null. With `waitReady` its first output line must be
// "ready"; the lines after it are counted by printed().
class Child {
public:
    Child(std::vector<std::string> args, const std::string& stdinPath = "", bool waitReady = false) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, stdinPath.empty() ? "/dev/null" : stdinPath.c_str(), O_RDONLY, 0);
        int out[2] = {-1, -1};
        if (waitReady) {
            if (pipe(out) != 0) throw std::runtime_error("pipe");
            posix_spawn_file_actions_adddup2(&actions, out[1], 1);
            posix_spawn_file_actions_addclose(&actions, out[0]);
        } else {
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        }
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const int rc = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (waitReady) close(out[1]);
        out_ = out[0];
        if (rc != 0) throw std::runtime_error("cannot start " + args[0]);
        if (!waitReady) return;
        while (lines_.empty() && readSome(-1)) {
        }
        if (lines_.empty() || lines_.front() != "ready") throw std::runtime_error(args[0] + " did not become ready");
    }
    ~Child() {
        stop();
        if (out_ >= 0) close(out_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    // How often the child has printed the line `want` so far (without waiting).
    long printed(const std::string& want) {
        while (readSome(0)) {
        }
        return std::count(lines_.begin(), lines_.end(), want);
    }

private:
    // Reads what the child printed, waiting at most `timeoutMs` (-1: until
    // it prints or ends). False when there was nothing.
    bool readSome(int timeoutMs) {
        pollfd p{out_, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) != 1) return false;
        char buf[512];
        const auto n = read(out_, buf, sizeof buf);
        if (n <= 0) return false;
        for (const char ch : std::string_view(buf, static_cast<std::size_t>(n))) {
            if (ch != '\n') {
                partial_ += ch;
            } else {
                lines_.push_back(partial_);
                partial_.clear();
            }
        }
        return true;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    std::string partial_;
    std::vector<std::string> lines_;
};

// A test process may start while the X server resets after its last
// client left (Xvfb does so unless told -noreset): retry for a while.
template <typename Make>
auto retryConnect(Make make) {
    for (int i = 0;; ++i) {
        auto made = make();
        if (made.second || i == 100) return std::move(made.first);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

inline std::vector<std::string> xclipArgs() {
    return {"xclip", "-quiet", "-selection", "clipboard", "-target", "UTF8_STRING", "-in"};
}

}  // namespace stock::test
