#pragma once

#include <string>

#include "platform/instance_lock.h"

namespace stock {

// An advisory lock on a file named after the user and the display. The kernel
// drops it when the process ends, however it ends, so a killed instance never
// blocks the next start.
class PosixInstanceLock final : public InstanceLock {
public:
    // display: the display the program runs on, e.g. ":0" or "host:10.0".
    explicit PosixInstanceLock(std::string display);
    ~PosixInstanceLock() override;
    bool anotherInstanceRunning() override;

    const std::string& path() const { return path_; }

    // ":0.0", ":0" and "unix:0" name one display: "0".
    static std::string displayKey(const std::string& display);

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace stock
