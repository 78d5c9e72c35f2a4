#include "os/windows/win32_user_name.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "os/windows/win32_text.h"

namespace stock::win32 {

bool Win32UserName::getUserName(char* buffer, std::uint32_t& count) {
    char acp[257] = {};  // the longest user name and its NUL
    DWORD n = sizeof acp;
    if (!GetUserNameA(acp, &n)) return false;
    const std::string name = acpToUtf8(std::string(acp, std::strlen(acp)));
    const std::uint32_t needed = static_cast<std::uint32_t>(name.size() + 1);
    if (!buffer || count < needed) {
        count = needed;
        return false;
    }
    std::memcpy(buffer, name.c_str(), needed);
    count = needed;
    return true;
}

}  // namespace stock::win32
