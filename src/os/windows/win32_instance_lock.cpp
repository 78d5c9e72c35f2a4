#include "os/windows/win32_instance_lock.h"

#include <string>

namespace stock::win32 {

Win32InstanceLock::~Win32InstanceLock() {
    if (mutex_) CloseHandle(mutex_);
}

bool Win32InstanceLock::anotherInstanceRunning() {
    if (mutex_) return false;  // this process holds it
    wchar_t user[257] = {};
    DWORD n = 257;
    std::wstring name = L"Local\\stockkun-";
    if (GetUserNameW(user, &n)) name += user;
    // A backslash would name a namespace.
    for (std::size_t i = 15; i < name.size(); ++i)
        if (name[i] == L'\\') name[i] = L'_';
    mutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
    const DWORD error = GetLastError();
    if (!mutex_) return error == ERROR_ACCESS_DENIED;  // held by another process of the user
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex_);
        mutex_ = nullptr;
        return true;
    }
    return false;
}

}  // namespace stock::win32
