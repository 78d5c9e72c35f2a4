// Helpers for tests against a real X server: clipboard owners run as child
// processes, texts as temporary files.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

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

// A child process, stopped (SIGTERM) when the object goes.
class Child {
public:
    explicit Child(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
            throw std::runtime_error("cannot start " + args[0]);
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

// xclip owning the clipboard with FILE's bytes as TARGET.
inline std::vector<std::string> xclip(const std::string& file, const std::string& target = "UTF8_STRING") {
    return {"xclip", "-quiet", "-selection", "clipboard", "-target", target, "-in", file};
}

}  // namespace stock::test
