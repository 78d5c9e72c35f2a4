#pragma once
// A program the test runs, by PID: standard input and output from and to
// files, stopped (SIGTERM) when the object goes. And files of given bytes.

#include <fcntl.h>
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

struct Child {
    explicit Child(std::vector<std::string> args, const std::string& in = "/dev/null",
                   const std::string& out = "/dev/null") {
        posix_spawn_file_actions_t io;
        posix_spawn_file_actions_init(&io);
        posix_spawn_file_actions_addopen(&io, 0, in.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&io, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const int rc = posix_spawnp(&pid, argv[0], &io, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&io);
        if (rc != 0) throw std::runtime_error("cannot start " + args[0]);
    }
    ~Child() { stop(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    void stop() {
        if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
        pid = -1;
    }
    // Waits for it to end by itself.
    void wait() {
        if (pid > 0) waitpid(pid, nullptr, 0);
        pid = -1;
    }
    pid_t pid = -1;
};

}  // namespace stock::test
