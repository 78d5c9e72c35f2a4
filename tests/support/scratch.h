#pragma once
// Helpers shared by the tests: scratch folders, and waiting for something
// that happens in another process.

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

namespace stock::test {

// A fresh folder under the system's temporary folder, removed afterwards
// with everything in it.
class ScratchDir {
public:
    ScratchDir() {
        std::string t = (std::filesystem::temp_directory_path() / "stockkun-test-XXXXXX").string();
        if (!::mkdtemp(t.data())) throw std::runtime_error("mkdtemp");
        dir = t;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    // Writes BODY to NAME below the folder, made executable on request.
    std::filesystem::path file(const std::string& name, const std::string& body, bool executable = false) const {
        const std::filesystem::path p = dir / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p) << body;
        if (executable) std::filesystem::permissions(p, std::filesystem::perms::owner_all);
        return p;
    }

    std::filesystem::path dir;
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
