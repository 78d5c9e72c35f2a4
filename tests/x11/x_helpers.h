// Helpers for tests against a real X server: clipboard owners run as child
// processes, texts as temporary files.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/scratch.h"

extern char** environ;

namespace stock::test {

// A file holding BYTES, removed when the test program ends.
inline std::string tempFile(const std::string& bytes) {
    static const ScratchDir dir;
    static int n = 0;
    return dir.file(std::to_string(n++), bytes).string();
}

// A child process reading the file `input`, stopped (SIGTERM) when the object goes.
class Child {
public:
    explicit Child(std::vector<std::string> args, const std::string& input = "/dev/null") {
        int out[2] = {-1, -1};
        if (pipe(out) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const int rc = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        out_ = out[0];
        if (rc != 0) throw std::runtime_error("cannot start " + args[0]);
    }
    ~Child() {
        stop();
        close(out_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    // How often the child has printed the line `line` so far.
    int printed(const std::string& line) {
        pollfd p{out_, POLLIN, 0};
        char buf[512];
        for (ssize_t n = 0; poll(&p, 1, 0) == 1 && (n = read(out_, buf, sizeof buf)) > 0;)
            output_.append(buf, static_cast<std::size_t>(n));
        int count = 0;
        for (auto at = output_.find(line + '\n'); at != std::string::npos; at = output_.find(line + '\n', at + 1))
            count += at == 0 || output_[at - 1] == '\n';
        return count;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string output_;
};

// xclip owning the clipboard with its input as TARGET.
inline std::vector<std::string> xclip(const std::string& target = "UTF8_STRING") {
    return {"xclip", "-quiet", "-selection", "clipboard", "-target", target, "-in"};
}

}  // namespace stock::test
