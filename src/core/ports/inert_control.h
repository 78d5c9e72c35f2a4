// What every front end's controls share: when their handlers go.
#pragma once

#include <utility>

#include "core/ports/controls.h"

namespace stock {

// A control as the core sees it. The window's destroy() drops every handler
// it keeps, and one given after that is dropped at once: the control is
// inert.
class InertControl {
public:
    virtual ~InertControl() = default;
    void drop() {
        dropped_ = true;
        dropHandlers();
    }

protected:
    void keep(Handler& slot, Handler h) const {
        if (!dropped_) slot = std::move(h);
    }
    bool dropped() const { return dropped_; }
    // Forgets the handlers (and whatever of the control goes with them).
    virtual void dropHandlers() = 0;

private:
    bool dropped_ = false;
};

}  // namespace stock
