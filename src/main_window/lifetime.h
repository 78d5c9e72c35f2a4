#pragma once

#include "platform/controls.h"

namespace stock {

// The process lives while a window is loaded: it ends when the last one
// unloads, or at once when asked to.
class Lifetime {
public:
    explicit Lifetime(Ui& ui) : ui_(ui) {}
    void windowLoaded() { ++loaded_; }
    void windowUnloaded() {
        if (loaded_ > 0 && --loaded_ == 0) ui_.endProcess();
    }
    void endNow() { ui_.endProcess(); }
    int loadedWindows() const { return loaded_; }

private:
    Ui& ui_;
    int loaded_ = 0;
};

}  // namespace stock
