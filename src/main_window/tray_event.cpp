#include "main_window/tray_event.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace stock {
namespace {

// Nearest whole number with halves to even, saturated to 32 bits.
std::int32_t roundHalfEven(float v) {
    if (std::isnan(v)) return 0;
    const double r = std::nearbyint(static_cast<double>(v));  // the default mode rounds halves to even
    if (r >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (r <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(r);
}

}  // namespace

int trayEventFromTwips(float x, float twipsPerPixel) {
    const std::int32_t tpp = roundHalfEven(twipsPerPixel);
    if (tpp == 0) return 0;  // no screen factor: no event
    const std::int32_t twips = roundHalfEven(x);
    if (twips == std::numeric_limits<std::int32_t>::min() && tpp == -1) return 0;
    return twips / tpp;
}

}  // namespace stock
