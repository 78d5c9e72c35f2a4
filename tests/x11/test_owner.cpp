// A clipboard owner for what xclip cannot do: takes the CLIPBOARD selection,
// prints "ready", then answers as asked.
//   test_owner hang              never answers a request
//   test_owner hint VALUE FILE   offers FILE's bytes as UTF8_STRING, and x-kde-passwordManagerHint = VALUE
//   test_owner incr N FILE       offers FILE's bytes as UTF8_STRING, sent by INCR in pieces of N bytes
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

xcb_connection_t* c;

xcb_atom_t intern(const char* name) {
    auto* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r->atom;
    std::free(r);
    return a;
}

void put(xcb_window_t w, xcb_atom_t property, xcb_atom_t type, std::uint8_t format, std::size_t n, const void* data) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, format, static_cast<std::uint32_t>(n), data);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode != "hang" && ((mode != "hint" && mode != "incr") || argc != 4)) return 2;
    std::ifstream in(argc == 4 ? argv[3] : "/dev/null", std::ios::binary);
    const std::string data{std::istreambuf_iterator<char>(in), {}};
    const std::size_t piece = mode == "incr" ? std::max(1ul, std::strtoul(argv[2], nullptr, 10)) : 0;

    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    const xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t clipboard = intern("CLIPBOARD"), targets = intern("TARGETS"), utf8 = intern("UTF8_STRING");
    const xcb_atom_t hint = intern("x-kde-passwordManagerHint"), incr = intern("INCR");
    xcb_set_selection_owner(c, w, clipboard, XCB_CURRENT_TIME);
    auto* owner = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
    if (!owner || owner->owner != w) return 1;
    std::free(owner);
    std::printf("ready\n");
    std::fflush(stdout);

    // An INCR transfer under way: requestor, property, bytes sent so far.
    xcb_window_t incrTo = XCB_NONE;
    xcb_atom_t incrProperty = XCB_ATOM_NONE;
    std::size_t incrSent = 0;
    for (xcb_generic_event_t* ev; (ev = xcb_wait_for_event(c)); std::free(ev)) {
        const auto type = ev->response_type & 0x7f;
        if (type == XCB_SELECTION_CLEAR) return 0;
        auto* pn = reinterpret_cast<xcb_property_notify_event_t*>(ev);
        if (type == XCB_PROPERTY_NOTIFY && pn->window == incrTo && pn->atom == incrProperty &&
            pn->state == XCB_PROPERTY_DELETE) {
            // The requestor took a piece: the next one, or the empty one that ends the transfer.
            const std::size_t n = std::min(piece, data.size() - incrSent);
            put(incrTo, incrProperty, utf8, 8, n, data.data() + incrSent);
            incrSent += n;
            if (n == 0) incrTo = XCB_NONE;
            xcb_flush(c);
        }
        if (type != XCB_SELECTION_REQUEST) continue;
        auto* req = reinterpret_cast<xcb_selection_request_event_t*>(ev);
        if (mode == "hang") continue;
        xcb_atom_t property = req->property == XCB_ATOM_NONE ? req->target : req->property;
        if (req->target == targets) {
            std::vector<xcb_atom_t> list{targets, utf8};
            if (mode == "hint") list.push_back(hint);
            put(req->requestor, property, XCB_ATOM_ATOM, 32, list.size(), list.data());
        } else if (req->target == utf8 && mode == "incr") {
            const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE, size = static_cast<std::uint32_t>(data.size());
            xcb_change_window_attributes(c, req->requestor, XCB_CW_EVENT_MASK, &mask);
            put(req->requestor, property, incr, 32, 1, &size);
            incrTo = req->requestor;
            incrProperty = property;
            incrSent = 0;
        } else if (req->target == utf8) {
            put(req->requestor, property, utf8, 8, data.size(), data.data());
        } else if (req->target == hint && mode == "hint") {
            put(req->requestor, property, XCB_ATOM_STRING, 8, std::strlen(argv[2]), argv[2]);
        } else {
            property = XCB_ATOM_NONE;  // refused
        }
        const xcb_selection_notify_event_t reply{XCB_SELECTION_NOTIFY, 0,           0,       req->time, req->requestor,
                                                 req->selection,       req->target, property};
        xcb_send_event(c, 0, req->requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&reply));
        xcb_flush(c);
    }
    return 0;
}
