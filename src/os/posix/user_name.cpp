#include "os/posix/user_name.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace stock {

bool PosixUserName::getUserName(char* buffer, std::uint32_t& count) {
    long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> scratch(hint > 0 ? static_cast<std::size_t>(hint) : 1024);
    passwd entry{};
    passwd* found = nullptr;
    int rc = 0;
    while ((rc = getpwuid_r(geteuid(), &entry, scratch.data(), scratch.size(), &found)) == ERANGE &&
           scratch.size() < (1u << 20))
        scratch.resize(scratch.size() * 2);
    if (rc != 0 || !found || !found->pw_name) {
        count = 0;  // no name to give: nothing written
        return false;
    }
    const std::size_t needed = std::strlen(found->pw_name) + 1;
    if (!buffer || needed > count) {
        count = static_cast<std::uint32_t>(needed);
        return false;
    }
    std::memcpy(buffer, found->pw_name, needed);
    count = static_cast<std::uint32_t>(needed);
    return true;
}

}  // namespace stock
