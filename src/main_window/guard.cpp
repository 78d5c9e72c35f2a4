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

}  // namespace stock
