// What the Win32 controls share: how their handlers run.
#pragma once

#include "core/guard/guard.h"
#include "core/ports/controls.h"
#include "core/ports/inert_control.h"

namespace stock::win32 {

// Runs a handler; nothing it throws reaches the message loop. An empty
// handler does nothing.
inline void invoke(const Handler& h) { callGuarded("control event", h); }
// A Handler is a std::function, so an unqualified call also finds
// std::invoke by argument-dependent lookup, which is the better match for a
// non-const handler and throws std::bad_function_call when it is empty.
inline void invoke(Handler& h) { callGuarded("control event", static_cast<const Handler&>(h)); }

}  // namespace stock::win32
