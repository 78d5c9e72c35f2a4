// A clipboard owner for what xclip cannot do: takes the CLIPBOARD selection,
// prints "ready", then answers as asked.
//   test_owner hang              never answers a request
//   test_owner hint VALUE FILE [MS]  offers FILE's bytes as UTF8_STRING, and x-kde-passwordManagerHint =
//                                VALUE; answers TARGETS MS milliseconds late
//   test_owner refuse-late MS    refuses every request MS milliseconds late, also once it lost the
//                                clipboard, and from then on sends made-up refusals (time 0) to the
//                                last requestor for every target, a thousand a second
#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

xcb_connection_t* c;
xcb_atom_t clipboard, targets, utf8, hint;

xcb_atom_t intern(const char* name) {
    auto* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r->atom;
    std::free(r);
    return a;
}

void notify(xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property, xcb_timestamp_t time) {
    const xcb_selection_notify_event_t reply{XCB_SELECTION_NOTIFY, 0, 0, time, requestor, clipboard, target, property};
    xcb_send_event(c, 0, requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&reply));
}

struct Options {
    std::string mode, value, data;
    long delayMs = 0;
} o;

// Replies held back until `at`.
struct Late {
    Clock::time_point at;
    xcb_selection_request_event_t req;
};
std::deque<Late> late;
bool lost = false;
xcb_window_t lastRequestor = XCB_NONE;

void answer(const xcb_selection_request_event_t& req) {
    xcb_atom_t property = req.property == XCB_ATOM_NONE ? req.target : req.property;
    const auto put = [&](xcb_atom_t type, std::uint8_t format, std::size_t n, const void* data) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, req.requestor, property, type, format,
                            static_cast<std::uint32_t>(n), data);
    };
    if (o.mode == "refuse-late") {
        property = XCB_ATOM_NONE;
    } else if (req.target == targets) {
        const xcb_atom_t list[] = {targets, utf8, hint};
        put(XCB_ATOM_ATOM, 32, 3, list);
    } else if (req.target == utf8) {
        put(utf8, 8, o.data.size(), o.data.data());
    } else if (req.target == hint) {
        put(XCB_ATOM_STRING, 8, o.value.size(), o.value.data());
    } else {
        property = XCB_ATOM_NONE;  // refused
    }
    notify(req.requestor, req.target, property, req.time);
}

void onRequest(const xcb_selection_request_event_t& req) {
    lastRequestor = req.requestor;
    if (o.mode == "hang") return;
    if (o.mode == "refuse-late" || (req.target == targets && o.delayMs > 0)) {
        late.push_back({Clock::now() + std::chrono::milliseconds(o.delayMs), req});
        return;
    }
    answer(req);
}

// Milliseconds until the next late answer or made-up refusal (-1: none).
int timeout() {
    int ms = -1;
    if (!late.empty()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(late.front().at - Clock::now());
        ms = static_cast<int>(std::max<long long>(0, left.count() + 1));
    }
    if (lost) ms = ms < 0 ? 1 : std::min(ms, 1);
    return ms;
}

int run() {
    static const xcb_atom_t compoundText = intern("COMPOUND_TEXT");
    for (;;) {
        while (!late.empty() && late.front().at <= Clock::now()) {
            answer(late.front().req);
            late.pop_front();
        }
        // Once it lost the clipboard, a refuser makes refusals up.
        for (xcb_atom_t target : {targets, hint, utf8, xcb_atom_t{XCB_ATOM_STRING}, compoundText})
            if (lost && lastRequestor != XCB_NONE) notify(lastRequestor, target, XCB_ATOM_NONE, XCB_CURRENT_TIME);
        xcb_flush(c);
        // Events read while writing wait in the queue, where poll() cannot see them.
        xcb_generic_event_t* ev = xcb_poll_for_queued_event(c);
        if (!ev) {
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            poll(&fd, 1, timeout());
            ev = xcb_poll_for_event(c);
        }
        for (; ev; ev = xcb_poll_for_event(c)) {
            const auto type = ev->response_type & 0x7f;
            if (type == XCB_SELECTION_REQUEST) onRequest(*reinterpret_cast<xcb_selection_request_event_t*>(ev));
            std::free(ev);
            if (type != XCB_SELECTION_CLEAR) continue;
            if (o.mode != "refuse-late") return 0;
            lost = true;  // a refuser goes on refusing
        }
        if (xcb_connection_has_error(c)) return 1;
    }
}

bool parse(int argc, char** argv) {
    o.mode = argc > 1 ? argv[1] : "";
    if (o.mode == "hang") return argc == 2;
    if (o.mode == "hint" && (argc == 4 || argc == 5)) {
        o.value = argv[2];
        std::ifstream in(argv[3], std::ios::binary);
        o.data.assign(std::istreambuf_iterator<char>(in), {});
        if (argc == 5) o.delayMs = std::strtol(argv[4], nullptr, 10);
        return true;
    }
    if (o.mode == "refuse-late" && argc == 3) {
        o.delayMs = std::strtol(argv[2], nullptr, 10);
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!parse(argc, argv)) return 2;
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    const xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    clipboard = intern("CLIPBOARD");
    targets = intern("TARGETS");
    utf8 = intern("UTF8_STRING");
    hint = intern("x-kde-passwordManagerHint");
    xcb_set_selection_owner(c, w, clipboard, XCB_CURRENT_TIME);
    auto* owner = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
    if (!owner || owner->owner != w) return 1;
    std::free(owner);
    std::printf("ready\n");
    std::fflush(stdout);
    return run();
}
