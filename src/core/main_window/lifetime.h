#pragma once

#include "core/ports/controls.h"

namespace stock {

// The process lives while a window is loaded: it ends when the last one
// unloads, or at once when asked to.
class Lifetime {
public:
    explicit Lifetime(Ui& ui) : ui_(ui) {}
    void windowLoaded() { ++loaded_; }
    void windowUnloaded() {
        if (loaded_ > 0 && --loaded_ == 0) endNow();
    }
    void endNow() {
        ended_ = true;
        ui_.endProcess();
    }
    int loadedWindows() const { return loaded_; }
    // Whether the process has been asked to end.
    bool ended() const { return ended_; }

private:
    Ui& ui_;
    int loaded_ = 0;
    bool ended_ = false;
};

}  // namespace stock
