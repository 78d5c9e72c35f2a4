#pragma once

namespace stock {

// One running instance per user and display.
class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // Takes the lock for this process if it is free. True when another
    // running instance holds it already.
    virtual bool anotherInstanceRunning() = 0;
};

}  // namespace stock
