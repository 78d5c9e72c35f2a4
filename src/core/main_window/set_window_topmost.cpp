#include "core/main_window/set_window_topmost.h"

namespace stock {

std::int32_t SetWindowTopmost(Window& form, std::int16_t mode) {
    if (mode != 0 && mode != 1) return 0;
    return form.setTopmost(mode == 1) ? 1 : 0;
}

}  // namespace stock
