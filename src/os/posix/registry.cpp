#include "os/posix/registry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

namespace stock {
namespace {

constexpr RegKey kMsinfoKeyHandle = 0x5151;
constexpr std::string_view kMsinfoKeyPath = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr std::string_view kPathValue = "PATH";

// Key and value names compare as the registry's do: without regard to case.
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

PosixRegistry::PosixRegistry() : PosixRegistry({"hardinfo", "hardinfo2", "kinfocenter"}) {}

PosixRegistry::PosixRegistry(std::vector<std::string> programs) : programs_(std::move(programs)) {}

RegStatus PosixRegistry::openKey(RegKey root, const std::string& subKey, std::uint32_t, std::uint32_t rights,
                                 RegKey& result) {
    if (root != reg::kLocalMachine || !sameName(subKey, kMsinfoKeyPath)) return reg::kFileNotFound;
    if ((rights & ~reg::kRead) != 0) return reg::kAccessDenied;
    result = kMsinfoKeyHandle;
    ++openKeys_;
    return reg::kSuccess;
}

RegStatus PosixRegistry::queryValue(RegKey key, const std::string& valueName, std::uint32_t& type, std::uint8_t* data,
                                    std::uint32_t& size) {
    if (key != kMsinfoKeyHandle || openKeys_ == 0) return reg::kInvalidHandle;
    if (!sameName(valueName, kPathValue)) return reg::kFileNotFound;
    // Looked up afresh on every read: a program installed meanwhile counts.
    const std::string path = findSystemInformationProgram();
    if (path.empty()) return reg::kFileNotFound;
    const auto needed = static_cast<std::uint32_t>(path.size() + 1);
    type = reg::kSz;
    if (!data || needed > size) {
        size = needed;
        return reg::kMoreData;
    }
    std::memcpy(data, path.c_str(), needed);
    size = needed;
    return reg::kSuccess;
}

RegStatus PosixRegistry::closeKey(RegKey key) {
    if (key != kMsinfoKeyHandle || openKeys_ == 0) return reg::kInvalidHandle;
    --openKeys_;
    return reg::kSuccess;
}

std::string PosixRegistry::findSystemInformationProgram() const {
    const char* var = std::getenv("PATH");
    const std::string_view path = var ? var : "";
    for (const std::string& name : programs_) {
        std::size_t start = 0;
        while (start <= path.size()) {
            std::size_t end = path.find(':', start);
            if (end == std::string_view::npos) end = path.size();
            const std::string_view folder = path.substr(start, end - start);
            // Only absolute folders: an empty or relative entry would name
            // whatever folder the program was started in.
            if (!folder.empty() && folder.front() == '/') {
                std::string candidate(folder);
                if (candidate.back() != '/') candidate.push_back('/');
                candidate += name;
                if (isExecutableFile(candidate)) return candidate;
            }
            start = end + 1;
        }
    }
    return {};
}

}  // namespace stock
