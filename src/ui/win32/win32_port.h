// What the Win32 controls share: how their handlers run and when they go.
#pragma once

#include "core/guard/guard.h"
#include "core/ports/controls.h"

namespace stock::win32 {

// Runs a handler; nothing it throws reaches the message loop. An empty
// handler does nothing.
inline void invoke(const Handler& h) { callGuarded("control event", h); }
// A Handler is a std::function, so an unqualified call also finds
// std::invoke by argument-dependent lookup, which is the better match for a
// non-const handler and throws std::bad_function_call when it is empty.
inline void invoke(Handler& h) { callGuarded("control event", static_cast<const Handler&>(h)); }

// A control as the core sees it. The window's destroy() drops every
// handler it keeps, and one given after that is dropped at once: the
// control is inert.
class Port {
public:
    virtual ~Port() = default;
    void drop() {
        dropped_ = true;
        dropHandlers();
    }

protected:
    void keep(Handler& slot, Handler h) const {
        if (!dropped_) slot = std::move(h);
    }
    bool dropped() const { return dropped_; }
    // Forgets the handlers and the control's window, which goes too.
    virtual void dropHandlers() = 0;

private:
    bool dropped_ = false;
};

}  // namespace stock::win32
