#include "main_window/guard.h"

#include <utility>

namespace stock {

Handler guarded(Handler handler) {
    return [h = std::move(handler)]() noexcept {
        try {
            if (h) h();
        } catch (...) {
            // An event handler never ends the program.
        }
    };
}

std::function<void(int)> guardedEvent(std::function<void(int)> handler) {
    return [h = std::move(handler)](int value) noexcept {
        try {
            if (h) h(value);
        } catch (...) {
        }
    };
}

}  // namespace stock
