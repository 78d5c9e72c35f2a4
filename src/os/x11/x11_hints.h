#pragma once

#include <cstdint>

struct xcb_connection_t;

namespace stock::x11 {

// Keeps a top-level window out of the taskbar and the pager. Call after each
// show: a window manager drops the state whenever the window is withdrawn.
void setSkipTaskbar(xcb_connection_t* c, std::uint32_t window);

// Whether some client owns the CLIPBOARD selection; true when that cannot be
// told (no reply).
bool clipboardOwned(xcb_connection_t* c);

// The resource-id base and mask of the connection's own windows.
struct IdRange {
    std::uint32_t base = 0, mask = 0;
};
IdRange ownIds(xcb_connection_t* c);

}  // namespace stock::x11
