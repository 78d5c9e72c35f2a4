#pragma once
// Helpers shared by the tests: scratch folders, environment variables set
// for one test, and waiting for something that happens in another process.

#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace stock::test {

// A fresh folder under the system's temporary folder, removed afterwards
// with everything in it (owner rights are given back first, since tests
// take them away).
class ScratchDir {
public:
    explicit ScratchDir(const std::string& prefix = "stockkun-test") {
        std::string t = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (!::mkdtemp(t.data()))
            throw std::filesystem::filesystem_error("mkdtemp", std::error_code(errno, std::generic_category()));
        dir = t;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(dir, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // Writes BODY to NAME below the folder, executable or only readable and
    // writable by the owner.
    std::filesystem::path file(const std::string& name, const std::string& body, bool executable = false) const {
        const std::filesystem::path p = dir / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p) << body;
        using std::filesystem::perms;
        std::filesystem::permissions(p, executable ? perms::owner_all : perms::owner_read | perms::owner_write);
        return p;
    }

    std::filesystem::path dir;
};

// Sets (or, given nothing, unsets) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* v = std::getenv(name_.c_str())) saved_ = v;
        if (value)
            ::setenv(name_.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    ~ScopedEnv() {
        if (saved_)
            ::setenv(name_.c_str(), saved_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

// Waits until CONDITION holds; the generous time-out only ends a hung run.
inline bool eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace stock::test
