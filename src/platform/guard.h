#pragma once

#include <functional>

namespace stock {

// The floor under every event handler, in the core and in each front end:
// nothing a handler throws reaches the event loop. Handlers with a recovery
// step of their own catch first. An empty handler does nothing.
template <class... Args>
void callGuarded(const std::function<void(Args...)>& handler, Args... args) noexcept {
    try {
        if (handler) handler(args...);
    } catch (...) {
        // An event handler never ends the program.
    }
}

inline std::function<void()> guarded(std::function<void()> handler) {
    return [h = std::move(handler)]() noexcept { callGuarded(h); };
}

inline std::function<void(int)> guardedEvent(std::function<void(int)> handler) {
    return [h = std::move(handler)](int value) noexcept { callGuarded(h, value); };
}

}  // namespace stock
