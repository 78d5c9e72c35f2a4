#pragma once

#include "platform/controls.h"

namespace stock {

// Wraps an event handler so that nothing it throws reaches the event loop.
// Handlers with a recovery step of their own catch first; this is the floor.
Handler guarded(Handler handler);
std::function<void(int)> guardedEvent(std::function<void(int)> handler);

}  // namespace stock
