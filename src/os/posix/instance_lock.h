#pragma once

#include <string>

#include "core/ports/instance_lock.h"

namespace stock {

// An advisory lock on a file named after the display, in a folder that only
// this user can write to. The kernel drops the lock when the process ends,
// however it ends, so a killed instance never blocks the next start.
//
// The folder is the user's runtime folder when that is the user's own and
// closed to everybody else; otherwise a folder of the user's own under the
// shared temporary folder, created with mode 0700. Names there can be taken
// by anybody first, so a lock, a lock file or a folder that is not the
// user's own, or that others may write to, is never believed: the next
// name in a fixed row is used instead, and every later name of that row
// that the user owns is checked as well, so that all of the user's starts
// see each other whichever name each one got.
class PosixInstanceLock final : public InstanceLock {
public:
    // display: the display the program runs on, e.g. ":0" or "host:10.0".
    // sharedTemp: the shared temporary folder (tests give their own).
    explicit PosixInstanceLock(const std::string& display, std::string sharedTemp = "/tmp");
    ~PosixInstanceLock() override;
    PosixInstanceLock(const PosixInstanceLock&) = delete;
    PosixInstanceLock& operator=(const PosixInstanceLock&) = delete;

    bool anotherInstanceRunning() override;

    // The lock file held; empty while none is.
    const std::string& path() const { return path_; }

    // ":0.0", ":0" and "unix:0" name one display: "0".
    static std::string displayKey(const std::string& display);

    // How many folder names under the shared temporary folder are tried.
    static constexpr int kFolderNames = 64;

private:
    std::string key_;
    std::string sharedTemp_;
    std::string path_;
    int fd_ = -1;
};

}  // namespace stock
