#include "os/x11/x11_clipboard_reader.h"

#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "os/x11/selection_fetch.h"
#include "os/selection/reader_front.h"

namespace stock::x11 {
namespace {

using Clock = std::chrono::steady_clock;

// A reply that frees itself.
template <typename T>
struct Reply {
    T* p = nullptr;
    explicit Reply(T* r) : p(r) {}
    ~Reply() { std::free(p); }
    Reply(const Reply&) = delete;
    Reply& operator=(const Reply&) = delete;
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

}  // namespace

static_assert(ClipboardReader::Options{}.textLimit == SelectionFetch::kTextBytes);

class ClipboardReader::Impl final : private SelectionIo {
public:
    explicit Impl(Options options) : options_(options) {
        c_ = xcb_connect(nullptr, nullptr);
        if (!c_ || xcb_connection_has_error(c_)) return;
        if (!setUp() || !front_.ok()) return;
        try {
            thread_ = std::thread([this] { run(); });
        } catch (...) {
            std::fputs("stockkun: clipboard reader: no thread; the toolkit's clipboard serves\n", stderr);
            return;
        }
        usable_ = true;
    }

    ~Impl() override {
        stop_ = true;
        front_.wake();
        if (thread_.joinable()) thread_.join();
        std::free(queued_);
        if (c_) xcb_disconnect(c_);
    }

    bool usable() const { return usable_ && !broken_; }

    std::optional<ClipboardText> readCurrent() {
        if (!usable()) return std::nullopt;
        return front_.read();
    }

    std::optional<SharedText> readTextToPaste() {
        if (!usable()) return std::nullopt;
        return front_.readTextToPaste(options_.stallTimeout);
    }

    void ownWriteBegun(const SharedText& text) { front_.ownWriteBegun(text); }
    void ownWriteFailed() { front_.ownWriteFailed(); }
    std::uint64_t transfers() const { return state_.transfers(); }
    std::uint64_t changeCount() const { return state_.changeCount(); }
    std::uint64_t generation() const { return state_.generation(); }

private:
    bool setUp() {
        const xcb_setup_t* setup = xcb_get_setup(c_);
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
        if (!it.rem) return false;
        const xcb_window_t root = it.data->root;
        if (!internAtoms()) return false;

        Reply<xcb_xfixes_query_version_reply_t> version(
            xcb_xfixes_query_version_reply(c_, xcb_xfixes_query_version(c_, 5, 0), nullptr));
        const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c_, &xcb_xfixes_id);
        if (!version || !ext || !ext->present) return false;
        xfixesEvent_ = ext->first_event + XCB_XFIXES_SELECTION_NOTIFY;

        window_ = xcb_generate_id(c_);
        atoms_.window = window_;
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
        // The first owner's requests carry the server's time now: never the
        // time 0 that anybody could put in a made-up answer.
        ownerTime_ = serverTime();
        if (ownerTime_ == XCB_CURRENT_TIME) return false;
        xcb_xfixes_select_selection_input(c_, window_, atoms_.clipboard,
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                              XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                              XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
        // Asked after the watch is set, so that no change falls in between.
        Reply<xcb_get_selection_owner_reply_t> owner(
            xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, atoms_.clipboard), nullptr));
        if (!owner) return false;
        state_.ownerChanged(owner->owner, isOwn(owner->owner));
        return !xcb_connection_has_error(c_);
    }

    // Every atom the reader needs, asked for in one go: one round trip, not
    // one for each.
    bool internAtoms() {
        static constexpr std::array<std::string_view, 15> kNames = {"CLIPBOARD",
                                                                    "TARGETS",
                                                                    "INCR",
                                                                    "COMPOUND_TEXT",
                                                                    "x-kde-passwordManagerHint",
                                                                    "UTF8_STRING",
                                                                    "text/plain;charset=utf-8",
                                                                    "text/plain;charset=UTF-8",
                                                                    "TEXT",
                                                                    "text/plain",
                                                                    "STOCKKUN_TIME",
                                                                    "STOCKKUN_SELECTION_0",
                                                                    "STOCKKUN_SELECTION_1",
                                                                    "STOCKKUN_SELECTION_2",
                                                                    "STOCKKUN_SELECTION_3"};
        std::array<xcb_intern_atom_cookie_t, kNames.size()> cookies{};
        for (std::size_t i = 0; i < kNames.size(); ++i)
            cookies[i] = xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(kNames[i].size()), kNames[i].data());
        std::array<xcb_atom_t, kNames.size()> a{};
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(c_, cookies[i], nullptr));
            if (!r || r->atom == XCB_ATOM_NONE) return false;
            a[i] = r->atom;
        }
        atoms_.clipboard = a[0];
        atoms_.targets = a[1];
        atoms_.incr = a[2];
        atoms_.compoundText = a[3];
        atoms_.passwordHint = a[4];
        // COMPOUND_TEXT before STRING and TEXT: it holds every text that
        // STRING can, and more.
        atoms_.textPreference = {a[5], a[6], a[7], a[3], XCB_ATOM_STRING, a[8], a[9]};
        atoms_.direct = {a[5], a[3], XCB_ATOM_STRING};
        stamp_ = a[10];
        std::copy(a.begin() + 11, a.end(), properties_.begin());
        static_assert(kNames.size() == 11 + std::tuple_size_v<decltype(properties_)>);
        return true;
    }

    // The server's time, from the notice of a change to a property of our
    // own window (no other event can come before the selection is watched).
    xcb_timestamp_t serverTime() {
        xcb_change_property(c_, XCB_PROP_MODE_APPEND, window_, stamp_, XCB_ATOM_STRING, 8, 0, nullptr);
        xcb_flush(c_);
        while (xcb_generic_event_t* ev = xcb_wait_for_event(c_)) {
            Reply<xcb_generic_event_t> owned(ev);
            auto* n = reinterpret_cast<xcb_property_notify_event_t*>(ev);
            if ((ev->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && n->window == window_ && n->atom == stamp_)
                return n->time;
        }
        return XCB_CURRENT_TIME;
    }

    bool isOwn(xcb_window_t w) const {
        return w != XCB_NONE && options_.ownIdMask != 0 && (w & ~options_.ownIdMask) == options_.ownIdBase;
    }

    void run() {
        while (!stop_) {
            try {
                for (xcb_generic_event_t* ev = std::exchange(queued_, nullptr); ev || (ev = xcb_poll_for_event(c_));
                     ev = nullptr) {
                    Reply<xcb_generic_event_t> owned(ev);
                    handle(*ev);
                }
                checkTransfer();
                if (!transfer_) {
                    if (auto generation = state_.takeFetch()) start(*generation);
                }
            } catch (const std::exception& e) {
                std::fprintf(stderr, "stockkun: clipboard reader: %s; the fetch is dropped\n", e.what());
                dropTransfer();
            } catch (...) {
                std::fputs("stockkun: clipboard reader: a fetch failed; it is dropped\n", stderr);
                dropTransfer();
            }
            if (xcb_connection_has_error(c_)) {
                broken_ = true;
                return;
            }
            xcb_flush(c_);
            waitForWork();
        }
    }

    void waitForWork() {
        // Writing may have read events into the connection's queue, where
        // poll() would not see them.
        if ((queued_ = xcb_poll_for_queued_event(c_))) return;
        std::optional<Clock::time_point> until;
        if (transfer_)
            until = transfer_->fetch.deadline();
        else
            until = state_.heldBackUntil();
        int timeout = -1;
        if (until) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*until - Clock::now());
            timeout = static_cast<int>(std::clamp<long long>(left.count() + 1, 0, 60000));
        }
        pollfd fds[2] = {{xcb_get_file_descriptor(c_), POLLIN, 0}, {front_.wakeFd(), POLLIN, 0}};
        poll(fds, 2, timeout);
        if (fds[1].revents & POLLIN) front_.woken();
    }

    void handle(const xcb_generic_event_t& ev) {
        if ((ev.response_type & 0x7f) == xfixesEvent_) {
            const auto& n = reinterpret_cast<const xcb_xfixes_selection_notify_event_t&>(ev);
            if (n.selection != atoms_.clipboard) return;
            ownerTime_ = n.selection_timestamp;
            state_.ownerChanged(n.owner, isOwn(n.owner));
            // An overtaken fetch may still finish, but not at the newest
            // owner's expense.
            if (transfer_) transfer_->fetch.supersede(Clock::now());
            return;
        }
        if (!transfer_) return;
        transfer_->fetch.onEvent(ev, Clock::now());
        settle();
    }

    // Drops a fetch that the selection left behind, and ends one that stalled.
    void checkTransfer() {
        if (!transfer_) return;
        if (!state_.wanted(transfer_->generation)) {
            transfer_.reset();
            return;
        }
        transfer_->fetch.onTime(Clock::now());
        settle();
    }

    void dropTransfer() {
        if (!transfer_) return;
        state_.failed(transfer_->generation);
        transfer_.reset();
    }

    void start(std::uint64_t generation) {
        SelectionFetch::Setup setup;
        setup.property = properties_[nextProperty_++ % properties_.size()];
        setup.time = ownerTime_;
        setup.stallTimeout = options_.stallTimeout;
        setup.textBytes = options_.textLimit;
        setup.secretsWanted = [this, generation] { return state_.pasteWanted(generation); };
        transfer_.emplace(generation, atoms_, static_cast<SelectionIo&>(*this), std::move(setup));
        transfer_->fetch.start(Clock::now());
        xcb_flush(c_);
    }

    // Hands a finished fetch's outcome to the state.
    void settle() {
        if (!transfer_) return;
        SelectionFetch& f = transfer_->fetch;
        const std::uint64_t g = transfer_->generation;
        switch (f.outcome()) {
            case SelectionFetch::Outcome::Running:
                return;
            case SelectionFetch::Outcome::Text:
                if (f.secret())
                    state_.secretFetched(g, SharedText(f.takeText()));
                else
                    state_.fetched(g, SharedText(f.takeText()));
                break;
            case SelectionFetch::Outcome::Empty:
                state_.fetched(g, SharedText());
                break;
            case SelectionFetch::Outcome::Secret:
                state_.secretFound(g);
                break;
            case SelectionFetch::Outcome::Failed:
                state_.failed(g);
                break;
        }
        transfer_.reset();
    }

    // SelectionIo, on the reader thread.
    void convert(xcb_atom_t target, xcb_atom_t property, xcb_timestamp_t time) override {
        xcb_convert_selection(c_, window_, atoms_.clipboard, target, property, time);
        xcb_flush(c_);
    }
    std::optional<Piece> getProperty(xcb_atom_t property, std::uint32_t offset, std::uint32_t words) override {
        auto* r = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, window_, property, XCB_GET_PROPERTY_TYPE_ANY, offset, words), nullptr);
        if (!r) return std::nullopt;
        std::shared_ptr<const void> keep(r, [](const void* p) { std::free(const_cast<void*>(p)); });
        Piece piece;
        piece.type = r->type;
        piece.format = r->format;
        piece.bytesAfter = r->bytes_after;
        piece.bytes = std::string_view(static_cast<const char*>(xcb_get_property_value(r)),
                                       static_cast<std::size_t>(xcb_get_property_value_length(r)));
        piece.keep = std::move(keep);
        return piece;
    }
    void deleteProperty(xcb_atom_t property) override {
        xcb_delete_property(c_, window_, property);
        xcb_flush(c_);
    }

    struct Transfer {
        Transfer(std::uint64_t g, const SelectionAtoms& atoms, SelectionIo& io, SelectionFetch::Setup setup)
            : generation(g), fetch(atoms, io, std::move(setup)) {}
        std::uint64_t generation;
        SelectionFetch fetch;
    };

    Options options_;
    xcb_connection_t* c_ = nullptr;
    xcb_window_t window_ = XCB_NONE;
    std::uint8_t xfixesEvent_ = 0;
    SelectionAtoms atoms_;
    xcb_atom_t stamp_ = XCB_ATOM_NONE;
    std::array<xcb_atom_t, 4> properties_{};
    std::size_t nextProperty_ = 0;
    xcb_timestamp_t ownerTime_ = XCB_CURRENT_TIME;

    selection::ReaderFront front_;
    selection::SelectionState& state_ = front_.state;
    std::optional<Transfer> transfer_;       // reader thread only
    xcb_generic_event_t* queued_ = nullptr;  // taken from the queue before a wait, handled next
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> broken_{false};
    bool usable_ = false;
};

ClipboardReader::ClipboardReader(Options options) : impl_(std::make_unique<Impl>(options)) {}
ClipboardReader::ClipboardReader() : ClipboardReader(Options{}) {}
ClipboardReader::~ClipboardReader() = default;

bool ClipboardReader::usable() const { return impl_->usable(); }
std::optional<ClipboardText> ClipboardReader::read() { return impl_->readCurrent(); }
std::optional<SharedText> ClipboardReader::readText() {
    auto r = impl_->readCurrent();
    if (!r || r->secret) return std::nullopt;
    return std::move(r->text);
}
std::optional<SharedText> ClipboardReader::readTextToPaste() { return impl_->readTextToPaste(); }
void ClipboardReader::ownWriteBegun(const SharedText& text) { impl_->ownWriteBegun(text); }
void ClipboardReader::ownWriteFailed() { impl_->ownWriteFailed(); }
std::uint64_t ClipboardReader::transfers() const { return impl_->transfers(); }
std::uint64_t ClipboardReader::changeCount() const { return impl_->changeCount(); }
std::uint64_t ClipboardReader::generation() const { return impl_->generation(); }

}  // namespace stock::x11
