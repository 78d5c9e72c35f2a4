// A clipboard owner for the tests: takes the CLIPBOARD selection and then
// behaves as asked. Prints "ready" once it owns the selection, then the
// target of each request it gets ("request TARGET").
//   test_owner hang              never answers a request
//   test_owner hint VALUE FILE   the same, offering x-kde-passwordManagerHint = VALUE
//   test_owner serve TARGET TYPE FILE  offers only TARGET, answered as TYPE with FILE's bytes
//   test_owner refuse            offers UTF8_STRING and refuses to convert it
//   test_owner incr N FILE       serves FILE's bytes as UTF8_STRING by INCR, N bytes a piece
#include <xcb/xcb.h>

#include <algorithm>
#include <csignal>
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
    if (!r) std::exit(2);
    const xcb_atom_t a = r->atom;
    std::free(r);
    return a;
}

std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::signal(SIGPIPE, SIG_IGN);  // the reader of the output may be gone
    const std::string mode = argv[1];
    std::string data, hint;
    std::size_t piece = 0;
    // An INCR transfer under way: requestor, property, bytes sent so far.
    xcb_window_t incrTo = XCB_NONE;
    xcb_atom_t incrProperty = XCB_ATOM_NONE;
    std::size_t incrSent = 0;
    bool incrDone = false;
    // The file is the last argument; the first after the mode is the hint
    // value or the piece size.
    if ((mode == "hint" || mode == "incr") && argc != 4) return 2;
    if (argc > 2) data = readFile(argv[argc - 1]);
    if (mode == "hint") hint = argv[2];
    if (mode == "incr" && (piece = static_cast<std::size_t>(std::atol(argv[2]))) == 0) return 2;

    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t clipboard = intern("CLIPBOARD");
    const xcb_atom_t targets = intern("TARGETS");
    const xcb_atom_t utf8 = intern("UTF8_STRING");
    const xcb_atom_t hintAtom = intern("x-kde-passwordManagerHint");
    const xcb_atom_t incr = intern("INCR");

    const xcb_atom_t serveTarget = mode == "serve" ? intern(argv[2]) : xcb_atom_t{XCB_ATOM_NONE};
    const xcb_atom_t serveType = mode == "serve" ? intern(argv[3]) : xcb_atom_t{XCB_ATOM_NONE};

    xcb_set_selection_owner(c, w, clipboard, XCB_CURRENT_TIME);
    auto* owner = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
    if (!owner || owner->owner != w) return 1;
    std::free(owner);
    std::printf("ready\n");
    std::fflush(stdout);

    while (xcb_generic_event_t* ev = xcb_wait_for_event(c)) {
        const auto type = ev->response_type & 0x7f;
        if (type == XCB_SELECTION_CLEAR) {
            std::free(ev);
            return 0;
        }
        if (type == XCB_PROPERTY_NOTIFY && incrTo != XCB_NONE) {
            auto* pn = reinterpret_cast<xcb_property_notify_event_t*>(ev);
            if (pn->window == incrTo && pn->atom == incrProperty && pn->state == XCB_PROPERTY_DELETE && !incrDone) {
                const std::size_t n = std::min(piece, data.size() - incrSent);
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, incrTo, incrProperty, utf8, 8,
                                    static_cast<std::uint32_t>(n), data.data() + incrSent);
                incrSent += n;
                incrDone = n == 0;
                xcb_flush(c);
            }
            std::free(ev);
            continue;
        }
        if (type != XCB_SELECTION_REQUEST) {
            std::free(ev);
            continue;
        }
        auto* req = reinterpret_cast<xcb_selection_request_event_t*>(ev);
        if (auto* name = xcb_get_atom_name_reply(c, xcb_get_atom_name(c, req->target), nullptr)) {
            std::printf("request %.*s\n", xcb_get_atom_name_name_length(name), xcb_get_atom_name_name(name));
            std::fflush(stdout);
            std::free(name);
        }
        if (mode == "hang") {
            std::free(ev);
            continue;
        }
        xcb_atom_t property = req->property == XCB_ATOM_NONE ? req->target : req->property;
        if (req->target == targets) {
            std::vector<xcb_atom_t> list{targets};
            list.push_back(mode == "serve" ? serveTarget : utf8);
            if (mode == "hint") list.push_back(hintAtom);
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, req->requestor, property, XCB_ATOM_ATOM, 32,
                                static_cast<std::uint32_t>(list.size()), list.data());
        } else if (mode == "serve" && req->target == serveTarget) {
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, req->requestor, property, serveType, 8,
                                static_cast<std::uint32_t>(data.size()), data.data());
        } else if (mode == "serve" || mode == "refuse") {
            property = XCB_ATOM_NONE;
        } else if (req->target == utf8 && mode == "incr") {
            const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(c, req->requestor, XCB_CW_EVENT_MASK, &mask);
            const auto size = static_cast<std::uint32_t>(data.size());
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, req->requestor, property, incr, 32, 1, &size);
            incrTo = req->requestor;
            incrProperty = property;
            incrSent = 0;
            incrDone = false;
        } else if (req->target == utf8) {
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, req->requestor, property, utf8, 8,
                                static_cast<std::uint32_t>(data.size()), data.data());
        } else if (req->target == hintAtom && mode == "hint") {
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, req->requestor, property, XCB_ATOM_STRING, 8,
                                static_cast<std::uint32_t>(hint.size()), hint.data());
        } else {
            property = XCB_ATOM_NONE;
        }
        xcb_selection_notify_event_t reply{};
        reply.response_type = XCB_SELECTION_NOTIFY;
        reply.time = req->time;
        reply.requestor = req->requestor;
        reply.selection = req->selection;
        reply.target = req->target;
        reply.property = property;
        xcb_send_event(c, 0, req->requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&reply));
        xcb_flush(c);
        std::free(ev);
    }
    return 0;
}
