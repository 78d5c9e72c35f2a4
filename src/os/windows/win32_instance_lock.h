#pragma once

#include <windows.h>

#include "core/ports/instance_lock.h"

namespace stock::win32 {

// One instance per user and session: a named mutex in the session's
// namespace, "Local\stockkun-<user>", held for the life of the process.
class Win32InstanceLock final : public InstanceLock {
public:
    Win32InstanceLock() = default;
    ~Win32InstanceLock() override;
    Win32InstanceLock(const Win32InstanceLock&) = delete;
    Win32InstanceLock& operator=(const Win32InstanceLock&) = delete;
    bool anotherInstanceRunning() override;

private:
    HANDLE mutex_ = nullptr;
};

}  // namespace stock::win32
