// A clipboard owner for what xclip cannot do: takes the CLIPBOARD selection,
// prints "ready", then answers as asked.
//   test_owner hang              never answers a request
//   test_owner hint VALUE FILE [MS]  offers FILE's bytes as UTF8_STRING, and x-kde-passwordManagerHint =
//                                VALUE; answers TARGETS MS milliseconds late
//   test_owner incr N FILE       offers FILE's bytes as UTF8_STRING, sent by INCR in pieces of N bytes
//   test_owner mixed-incr FILE   the same in 4-byte pieces whose types change: UTF8_STRING, STRING, INCR, ATOM
//   test_owner endless TARGET    answers TARGET (TARGETS or UTF8_STRING) by INCR with 4 MiB pieces, forever
//   test_owner targets16 FILE    answers TARGETS as 16-bit atoms, and UTF8_STRING with FILE's bytes
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
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

xcb_connection_t* c;
xcb_atom_t targets, utf8, hint, incr;

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

void notify(xcb_window_t requestor, xcb_atom_t selection, xcb_atom_t target, xcb_atom_t property,
            xcb_timestamp_t time) {
    const xcb_selection_notify_event_t reply{XCB_SELECTION_NOTIFY, 0, 0, time, requestor, selection, target, property};
    xcb_send_event(c, 0, requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&reply));
}

struct Options {
    std::string mode, value, data;
    std::size_t piece = 0;
    long delayMs = 0;
    xcb_atom_t endlessTarget = XCB_ATOM_NONE;
};

// An INCR transfer under way.
struct Incr {
    xcb_window_t to = XCB_NONE;
    xcb_atom_t property = XCB_ATOM_NONE;
    std::size_t sent = 0, pieces = 0;
};

// A reply held back until `at`.
struct Late {
    Clock::time_point at;
    xcb_selection_request_event_t req;
};

class Owner {
public:
    explicit Owner(Options o) : o_(std::move(o)) {}

    int run();

private:
    void onRequest(const xcb_selection_request_event_t& req);
    void answer(const xcb_selection_request_event_t& req);
    void nextPiece();
    void forge();
    int timeout() const;
    void onEvent(const xcb_generic_event_t& ev);

    Options o_;
    xcb_atom_t clipboard_ = XCB_ATOM_NONE;
    Incr incr_;
    std::deque<Late> late_;
    bool lost_ = false;
    xcb_window_t lastRequestor_ = XCB_NONE;
};

void Owner::onRequest(const xcb_selection_request_event_t& req) {
    lastRequestor_ = req.requestor;
    if (o_.mode == "hang") return;
    if (o_.mode == "refuse-late" || (o_.mode == "hint" && req.target == targets && o_.delayMs > 0)) {
        late_.push_back({Clock::now() + std::chrono::milliseconds(o_.delayMs), req});
        return;
    }
    answer(req);
}

void Owner::answer(const xcb_selection_request_event_t& req) {
    xcb_atom_t property = req.property == XCB_ATOM_NONE ? req.target : req.property;
    const auto startIncr = [&](std::uint32_t size) {
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(c, req.requestor, XCB_CW_EVENT_MASK, &mask);
        put(req.requestor, property, incr, 32, 1, &size);
        incr_ = {req.requestor, property, 0, 0};
    };
    const bool incremental = o_.mode == "incr" || o_.mode == "mixed-incr";
    if (o_.mode == "refuse-late") {
        property = XCB_ATOM_NONE;
    } else if (o_.mode == "endless" && req.target == o_.endlessTarget) {
        startIncr(1024);
    } else if (req.target == targets && o_.mode == "targets16") {
        const std::uint16_t list[] = {static_cast<std::uint16_t>(targets), static_cast<std::uint16_t>(utf8)};
        put(req.requestor, property, XCB_ATOM_ATOM, 16, 2, list);
    } else if (req.target == targets) {
        std::vector<xcb_atom_t> list{targets, utf8};
        if (o_.mode == "hint") list.push_back(hint);
        put(req.requestor, property, XCB_ATOM_ATOM, 32, list.size(), list.data());
    } else if (req.target == utf8 && incremental) {
        startIncr(static_cast<std::uint32_t>(o_.data.size()));
    } else if (req.target == utf8 && o_.mode != "endless") {
        put(req.requestor, property, utf8, 8, o_.data.size(), o_.data.data());
    } else if (req.target == hint && o_.mode == "hint") {
        put(req.requestor, property, XCB_ATOM_STRING, 8, o_.value.size(), o_.value.data());
    } else {
        property = XCB_ATOM_NONE;  // refused
    }
    notify(req.requestor, req.selection, req.target, property, req.time);
}

// The requestor took a piece: the next one, or the empty one that ends the transfer.
void Owner::nextPiece() {
    if (o_.mode == "endless") {
        static const std::string block(4u << 20, 'x');
        const xcb_atom_t type = o_.endlessTarget == targets ? xcb_atom_t{XCB_ATOM_ATOM} : utf8;
        put(incr_.to, incr_.property, type, type == XCB_ATOM_ATOM ? 32 : 8,
            type == XCB_ATOM_ATOM ? block.size() / 4 : block.size(), block.data());
        return;
    }
    const std::size_t n = std::min(o_.piece, o_.data.size() - incr_.sent);
    xcb_atom_t type = utf8;
    if (o_.mode == "mixed-incr" && n > 0) {
        const xcb_atom_t kinds[] = {utf8, XCB_ATOM_STRING, incr, XCB_ATOM_ATOM};
        type = kinds[incr_.pieces % 4];
    }
    put(incr_.to, incr_.property, type, 8, n, o_.data.data() + incr_.sent);
    incr_.sent += n;
    ++incr_.pieces;
    if (n == 0) incr_.to = XCB_NONE;
}

void Owner::forge() {
    if (lastRequestor_ == XCB_NONE) return;
    static const xcb_atom_t compoundText = intern("COMPOUND_TEXT");
    for (xcb_atom_t target : {targets, hint, utf8, xcb_atom_t{XCB_ATOM_STRING}, compoundText})
        notify(lastRequestor_, clipboard_, target, XCB_ATOM_NONE, XCB_CURRENT_TIME);
}

int Owner::run() {
    clipboard_ = intern("CLIPBOARD");
    const bool refuser = o_.mode == "refuse-late";
    for (;;) {
        while (!late_.empty() && late_.front().at <= Clock::now()) {
            answer(late_.front().req);
            late_.pop_front();
        }
        if (lost_ && refuser) forge();
        xcb_flush(c);
        // Events read while writing wait in the queue, where poll() cannot see them.
        xcb_generic_event_t* ev = xcb_poll_for_queued_event(c);
        if (!ev) {
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            poll(&fd, 1, timeout());
            ev = xcb_poll_for_event(c);
        }
        for (; ev; ev = xcb_poll_for_event(c)) {
            const bool cleared = (ev->response_type & 0x7f) == XCB_SELECTION_CLEAR;
            onEvent(*ev);
            std::free(ev);
            if (cleared && !refuser) return 0;
        }
        if (xcb_connection_has_error(c)) return 1;
    }
}

// Milliseconds until the next late answer or made-up refusal (-1: none).
int Owner::timeout() const {
    int ms = -1;
    if (!late_.empty()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(late_.front().at - Clock::now());
        ms = static_cast<int>(std::max<long long>(0, left.count() + 1));
    }
    if (lost_ && o_.mode == "refuse-late") ms = ms < 0 ? 1 : std::min(ms, 1);
    return ms;
}

void Owner::onEvent(const xcb_generic_event_t& ev) {
    const auto type = ev.response_type & 0x7f;
    const auto& pn = reinterpret_cast<const xcb_property_notify_event_t&>(ev);
    if (type == XCB_SELECTION_CLEAR) {
        lost_ = true;  // a refuser goes on refusing
    } else if (type == XCB_PROPERTY_NOTIFY && pn.window == incr_.to && pn.atom == incr_.property &&
               pn.state == XCB_PROPERTY_DELETE) {
        nextPiece();
    } else if (type == XCB_SELECTION_REQUEST) {
        onRequest(reinterpret_cast<const xcb_selection_request_event_t&>(ev));
    }
}

std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool parse(int argc, char** argv, Options& o) {
    o.mode = argc > 1 ? argv[1] : "";
    const auto args = [&](int n) { return argc == n + 2; };
    if (o.mode == "hang") return args(0);
    if (o.mode == "hint" && (args(2) || args(3))) {
        o.value = argv[2];
        o.data = readFile(argv[3]);
        if (argc == 5) o.delayMs = std::strtol(argv[4], nullptr, 10);
        return true;
    }
    if (o.mode == "incr" && args(2)) {
        o.piece = std::max(1ul, std::strtoul(argv[2], nullptr, 10));
        o.data = readFile(argv[3]);
        return true;
    }
    if ((o.mode == "mixed-incr" || o.mode == "targets16") && args(1)) {
        o.piece = 4;
        o.data = readFile(argv[2]);
        return true;
    }
    if (o.mode == "endless" && args(1)) return true;
    if (o.mode == "refuse-late" && args(1)) {
        o.delayMs = std::strtol(argv[2], nullptr, 10);
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) return 2;
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    const xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t clipboard = intern("CLIPBOARD");
    targets = intern("TARGETS");
    utf8 = intern("UTF8_STRING");
    hint = intern("x-kde-passwordManagerHint");
    incr = intern("INCR");
    if (o.mode == "endless") o.endlessTarget = intern(argv[2]);
    xcb_set_selection_owner(c, w, clipboard, XCB_CURRENT_TIME);
    auto* owner = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
    if (!owner || owner->owner != w) return 1;
    std::free(owner);
    std::printf("ready\n");
    std::fflush(stdout);
    return Owner(std::move(o)).run();
}
