// Helpers for tests against a real X server: clipboard owners run as child
// processes, texts as temporary files.
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
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <thread>
#include <vector>

extern char** environ;

namespace stock::test {

// A file that lives as long as the object.
class TempFile {
public:
    explicit TempFile(const std::string& bytes) {
        char name[] = "/tmp/stockkun-test-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) throw std::runtime_error("mkstemp");
        close(fd);
        path_ = name;
        std::ofstream(path_, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile() { std::remove(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A child process, stopped (SIGTERM) when the object goes.
class Child {
public:
    // stdinPath: file for the child's standard input ("" for /dev/null).
    // waitReady: read the child's first output line and require "ready".
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
        if (rc != 0) throw std::runtime_error("cannot start " + args[0]);
        if (waitReady) {
            std::string line;
            char ch;
            while (read(out[0], &ch, 1) == 1 && ch != '\n') line += ch;
            close(out[0]);
            if (line != "ready") throw std::runtime_error(args[0] + " did not become ready");
        }
    }
    ~Child() { stop(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
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

// Polls `done` every 10 ms until it holds or `limit` passes.
inline bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

inline std::string utf8(const std::u16string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size()) c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// A text of about `units` UTF-16 code units: ASCII, kana and an emoji,
// with CR LF line breaks.
inline std::u16string bigText(std::size_t units) {
    const std::u16string line = u"すとっくん clipboard line 0123456789 \U0001F600 テキスト\r\n";
    std::u16string s;
    s.reserve(units + line.size());
    while (s.size() < units) s += line;
    return s;
}

// xclip owning CLIPBOARD with the bytes of `file`, in the foreground.
inline std::vector<std::string> xclipArgs() {
    return {"xclip", "-quiet", "-selection", "clipboard", "-target", "UTF8_STRING", "-in"};
}

}  // namespace stock::test
