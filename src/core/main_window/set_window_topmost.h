#pragma once

#include <cstdint>

#include "core/ports/controls.h"

namespace stock {

// Mode 0 makes the window normal, 1 topmost; either also shows and activates
// it. Any other mode does nothing. Answers nonzero when the platform took
// the change, 0 otherwise and for other modes.
std::int32_t SetWindowTopmost(Window& form, std::int16_t mode);

}  // namespace stock
