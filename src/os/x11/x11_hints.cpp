#include "os/x11/x11_hints.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace stock::x11 {
namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t a = reply->atom;
    std::free(reply);
    return a;
}

}  // namespace

void setSkipTaskbar(xcb_connection_t* c, std::uint32_t window) {
    if (!c || window == 0) return;
    const xcb_window_t id = window;
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    const xcb_atom_t skipPager = atom(c, "_NET_WM_STATE_SKIP_PAGER");
    if (state == XCB_ATOM_NONE) return;

    std::vector<xcb_atom_t> atoms;
    auto cookie = xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 1024);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr)) {
        if (reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
            atoms.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
    }
    for (xcb_atom_t a : {skipTaskbar, skipPager}) {
        bool present = false;
        for (xcb_atom_t b : atoms) present = present || a == b;
        if (!present && a != XCB_ATOM_NONE) atoms.push_back(a);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, static_cast<uint32_t>(atoms.size()),
                        atoms.data());

    // A mapped window asks the window manager, which owns the state then.
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = id;
    ev.type = state;
    ev.data.data32[0] = 1;  // _NET_WM_STATE_ADD
    ev.data.data32[1] = skipTaskbar;
    ev.data.data32[2] = skipPager;
    ev.data.data32[3] = 1;  // source: an application
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&ev));
    xcb_flush(c);
}

bool clipboardOwned(xcb_connection_t* c) {
    if (!c) return true;
    static const xcb_atom_t clipboard = atom(c, "CLIPBOARD");
    auto* r = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
    if (!r) return true;
    const bool owned = r->owner != XCB_NONE;
    std::free(r);
    return owned;
}

IdRange ownIds(xcb_connection_t* c) {
    const xcb_setup_t* setup = c ? xcb_get_setup(c) : nullptr;
    if (!setup) return {};
    return {setup->resource_id_base, setup->resource_id_mask};
}

}  // namespace stock::x11
