#include "platform/x11/x11_clipboard_reader.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "platform/x11/selection_state.h"
#include "platform/x11/text_assembly.h"
#include "platform/x11/text_decoding.h"

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

// Longest piece of a property asked for in one request, in 32-bit units.
constexpr std::uint32_t kPropertyChunkWords = 1u << 20;
// Longest a whole fetch may take, however steadily it progresses.
constexpr auto kFetchLimit = std::chrono::seconds(60);

// What one fetch of the selection is doing (reader thread only).
enum class Stage { Targets, Hint, Text };

struct Transfer {
    std::uint64_t generation = 0;
    Stage stage = Stage::Targets;
    xcb_atom_t target = XCB_ATOM_NONE;
    xcb_atom_t property = XCB_ATOM_NONE;
    bool incremental = false;               // INCR: the data arrives in pieces
    bool targetsKnown = false;              // the owner answered TARGETS
    bool secret = false;                    // a secret, fetched for a paste only
    std::vector<xcb_atom_t> candidates;     // text targets still to try
    std::string data;                       // the value of TARGETS or of the hint
    std::optional<std::uint64_t> sizeHint;  // the text's byte count, as the owner gives it
    std::optional<TextAssembly> text;       // the text, decoded as it arrives
    xcb_atom_t type = XCB_ATOM_NONE;
    Clock::time_point deadline;
    Clock::time_point limit;
};

}  // namespace

class ClipboardReader::Impl {
public:
    explicit Impl(Options options) : options_(options) {
        c_ = xcb_connect(nullptr, nullptr);
        if (!c_ || xcb_connection_has_error(c_)) return;
        if (!setUp()) return;
        wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wake_ < 0) return;
        try {
            thread_ = std::thread([this] { run(); });
        } catch (...) {
            return;
        }
        usable_ = true;
    }

    ~Impl() {
        stop_ = true;
        wake();
        if (thread_.joinable()) thread_.join();
        if (wake_ >= 0) close(wake_);
        if (c_) xcb_disconnect(c_);
    }

    bool usable() const { return usable_ && !broken_; }

    std::optional<ClipboardText> readCurrent() {
        if (!usable()) return std::nullopt;
        auto r = state_.read();
        if (r.wakeReader) wake();
        if (r.secret) return ClipboardText{SharedText(), true};
        if (!r.text) return std::nullopt;
        return ClipboardText{std::move(*r.text), false};
    }

    std::optional<SharedText> readTextToPaste() {
        if (!usable()) return std::nullopt;
        auto r = state_.requestPaste();
        if (r.text) return std::move(r.text);
        if (r.wakeReader) wake();
        return state_.awaitPaste(Clock::now() + options_.stallTimeout);
    }

    void ownWriteBegun(const SharedText& text) {
        state_.ownWriteBegun(text);
        wake();  // a fetch under way is for an older owner: drop it now
    }
    void ownWriteFailed() {
        if (state_.ownWriteFailed()) wake();
    }
    std::uint64_t transfers() const { return state_.transfers(); }
    std::uint64_t changeCount() const { return state_.generation(); }

private:
    xcb_atom_t intern(std::string_view name) {
        Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
        return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    bool setUp() {
        const xcb_setup_t* setup = xcb_get_setup(c_);
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
        if (!it.rem) return false;
        const xcb_window_t root = it.data->root;

        clipboard_ = intern("CLIPBOARD");
        targets_ = intern("TARGETS");
        incr_ = intern("INCR");
        utf8String_ = intern("UTF8_STRING");
        text_ = intern("TEXT");
        compoundText_ = intern("COMPOUND_TEXT");
        const xcb_atom_t mimeUtf8 = intern("text/plain;charset=utf-8");
        const xcb_atom_t mimeUtf8Upper = intern("text/plain;charset=UTF-8");
        const xcb_atom_t mimePlain = intern("text/plain");
        passwordHint_ = intern("x-kde-passwordManagerHint");
        for (std::size_t i = 0; i < properties_.size(); ++i)
            properties_[i] = intern("STOCKKUN_SELECTION_" + std::to_string(i));
        if (clipboard_ == XCB_ATOM_NONE || targets_ == XCB_ATOM_NONE) return false;
        // COMPOUND_TEXT before STRING and TEXT: it holds every text that
        // STRING can, and more.
        textPreference_ = {utf8String_, mimeUtf8, mimeUtf8Upper, compoundText_, XCB_ATOM_STRING, text_, mimePlain};

        Reply<xcb_xfixes_query_version_reply_t> version(
            xcb_xfixes_query_version_reply(c_, xcb_xfixes_query_version(c_, 5, 0), nullptr));
        const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c_, &xcb_xfixes_id);
        if (!version || !ext || !ext->present) return false;
        xfixesEvent_ = ext->first_event + XCB_XFIXES_SELECTION_NOTIFY;

        window_ = xcb_generate_id(c_);
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
        xcb_xfixes_select_selection_input(c_, window_, clipboard_,
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                              XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                              XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
        // Asked after the watch is set, so that no change falls in between.
        Reply<xcb_get_selection_owner_reply_t> owner(
            xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, clipboard_), nullptr));
        if (!owner) return false;
        state_.ownerChanged(owner->owner, isOwn(owner->owner));
        return !xcb_connection_has_error(c_);
    }

    bool isOwn(xcb_window_t w) const {
        return w != XCB_NONE && options_.ownIdMask != 0 && (w & ~options_.ownIdMask) == options_.ownIdBase;
    }

    void wake() {
        if (wake_ < 0) return;
        const std::uint64_t one = 1;
        [[maybe_unused]] auto n = write(wake_, &one, sizeof one);
    }

    void run() {
        while (!stop_) {
            try {
                while (xcb_generic_event_t* ev = xcb_poll_for_event(c_)) {
                    Reply<xcb_generic_event_t> owned(ev);
                    handle(ev);
                }
            } catch (...) {
                if (transfer_) fail();
            }
            if (xcb_connection_has_error(c_)) {
                broken_ = true;
                return;
            }
            try {
                checkTransfer();
                if (!transfer_) {
                    if (auto generation = state_.takeFetch()) start(*generation);
                }
            } catch (...) {
                if (transfer_) fail();
            }
            xcb_flush(c_);

            int timeout = -1;
            if (transfer_) {
                const auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(transfer_->deadline - Clock::now());
                timeout = static_cast<int>(std::clamp<long long>(left.count() + 1, 0, 60000));
            }
            pollfd fds[2] = {{xcb_get_file_descriptor(c_), POLLIN, 0}, {wake_, POLLIN, 0}};
            poll(fds, 2, timeout);
            if (fds[1].revents & POLLIN) {
                std::uint64_t n = 0;
                [[maybe_unused]] auto r = ::read(wake_, &n, sizeof n);
            }
        }
    }

    // Drops a fetch that the selection left behind, and ends one that stalled.
    void checkTransfer() {
        if (!transfer_) return;
        if (!state_.wanted(transfer_->generation)) {
            transfer_.reset();
            return;
        }
        const auto now = Clock::now();
        if (now >= transfer_->deadline || now >= transfer_->limit) fail();
    }

    void fail() {
        state_.failed(transfer_->generation);
        transfer_.reset();
    }

    void start(std::uint64_t generation) {
        transfer_.emplace();
        transfer_->generation = generation;
        transfer_->property = properties_[nextProperty_++ % properties_.size()];
        transfer_->limit = Clock::now() + kFetchLimit;
        convert(Stage::Targets, targets_);
    }

    void convert(Stage stage, xcb_atom_t target) {
        Transfer& t = *transfer_;
        t.stage = stage;
        t.target = target;
        t.incremental = false;
        t.data.clear();
        t.sizeHint.reset();
        t.text.reset();
        t.type = XCB_ATOM_NONE;
        t.deadline = Clock::now() + options_.stallTimeout;
        xcb_delete_property(c_, window_, t.property);
        xcb_convert_selection(c_, window_, clipboard_, target, t.property, ownerTime_);
        xcb_flush(c_);
    }

    void handle(xcb_generic_event_t* ev) {
        const std::uint8_t type = ev->response_type & 0x7f;
        if (type == xfixesEvent_) {
            auto* n = reinterpret_cast<xcb_xfixes_selection_notify_event_t*>(ev);
            if (n->selection != clipboard_) return;
            ownerTime_ = n->selection_timestamp;
            state_.ownerChanged(n->owner, isOwn(n->owner));
        } else if (type == XCB_SELECTION_NOTIFY) {
            auto* n = reinterpret_cast<xcb_selection_notify_event_t*>(ev);
            if (!transfer_ || transfer_->incremental || n->requestor != window_ || n->selection != clipboard_ ||
                n->target != transfer_->target)
                return;
            if (n->property == XCB_ATOM_NONE) {
                refused();
                return;
            }
            if (n->property != transfer_->property) return;
            xcb_atom_t valueType = XCB_ATOM_NONE;
            std::size_t length = 0;
            if (!takeProperty(valueType, length)) {
                fail();
                return;
            }
            if (valueType == incr_) {
                // The owner sends the value in pieces, each one after we
                // delete the last (takeProperty deleted the INCR marker).
                Transfer& t = *transfer_;
                t.incremental = true;
                t.deadline = Clock::now() + options_.stallTimeout;
                if (t.stage == Stage::Text && t.data.size() >= 4) {
                    std::uint32_t sizeHint = 0;
                    std::memcpy(&sizeHint, t.data.data(), 4);
                    t.sizeHint = sizeHint;
                }
                t.data.clear();
                return;
            }
            finished();
        } else if (type == XCB_PROPERTY_NOTIFY) {
            auto* n = reinterpret_cast<xcb_property_notify_event_t*>(ev);
            if (!transfer_ || !transfer_->incremental || n->window != window_ || n->atom != transfer_->property ||
                n->state != XCB_PROPERTY_NEW_VALUE)
                return;
            xcb_atom_t valueType = XCB_ATOM_NONE;
            std::size_t length = 0;
            if (!takeProperty(valueType, length)) {
                fail();
                return;
            }
            transfer_->deadline = Clock::now() + options_.stallTimeout;
            if (length == 0) {
                transfer_->incremental = false;
                finished();
            }
        }
    }

    // One piece of the value: a text is decoded at once, other values kept.
    void take(xcb_atom_t type, std::string_view bytes) {
        Transfer& t = *transfer_;
        if (t.stage != Stage::Text || type == incr_) {
            t.data.append(bytes);
            return;
        }
        if (bytes.empty()) return;
        if (!t.text) {
            t.type = type;
            t.text.emplace(encodingOf(type), t.sizeHint);
        }
        t.text->feed(bytes);
    }

    TextDecoder::Encoding encodingOf(xcb_atom_t type) const {
        if (type == XCB_ATOM_STRING) return TextDecoder::Encoding::Latin1;
        if (type == compoundText_) return TextDecoder::Encoding::CompoundText;
        return TextDecoder::Encoding::Utf8;
    }

    // Reads the transfer's property, handing it on in pieces as they come,
    // and deletes it.
    bool takeProperty(xcb_atom_t& type, std::size_t& total) {
        std::uint32_t offset = 0;
        for (;;) {
            Reply<xcb_get_property_reply_t> r(
                xcb_get_property_reply(c_,
                                       xcb_get_property(c_, 0, window_, transfer_->property, XCB_GET_PROPERTY_TYPE_ANY,
                                                        offset, kPropertyChunkWords),
                                       nullptr));
            if (!r) return false;
            type = r->type;
            const int length = xcb_get_property_value_length(r.p);
            if (type == XCB_ATOM_NONE) break;
            if (transfer_->stage == Stage::Text && !transfer_->incremental && offset == 0 && type != incr_)
                transfer_->sizeHint = static_cast<std::uint64_t>(length) + r->bytes_after;
            take(type, std::string_view(static_cast<const char*>(xcb_get_property_value(r.p)),
                                        static_cast<std::size_t>(length)));
            total += static_cast<std::size_t>(length);
            offset += static_cast<std::uint32_t>(length) / 4;
            if (r->bytes_after == 0) break;
        }
        xcb_delete_property(c_, window_, transfer_->property);
        xcb_flush(c_);
        return type != XCB_ATOM_NONE;  // NONE: the property was not there
    }

    void refused() {
        Transfer& t = *transfer_;
        switch (t.stage) {
            case Stage::Targets:
                // An owner that does not list its targets: ask for text directly.
                t.targetsKnown = false;
                t.candidates = {utf8String_, compoundText_, XCB_ATOM_STRING};
                nextCandidate();
                return;
            case Stage::Hint:
                // It says it carries the hint but will not tell it: keep out.
                fail();
                return;
            case Stage::Text:
                nextCandidate();
                return;
        }
    }

    void nextCandidate() {
        Transfer& t = *transfer_;
        if (t.candidates.empty()) {
            if (t.targetsKnown) {
                fail();  // it offered text and then would not give it
            } else {
                complete(std::u16string());
            }
            return;
        }
        const xcb_atom_t target = t.candidates.front();
        t.candidates.erase(t.candidates.begin());
        convert(Stage::Text, target);
    }

    void finished() {
        Transfer& t = *transfer_;
        switch (t.stage) {
            case Stage::Targets: {
                std::vector<xcb_atom_t> offered(t.data.size() / 4);
                if (!offered.empty()) std::memcpy(offered.data(), t.data.data(), offered.size() * 4);
                t.targetsKnown = true;
                t.candidates.clear();
                for (xcb_atom_t want : textPreference_)
                    if (want != XCB_ATOM_NONE && std::find(offered.begin(), offered.end(), want) != offered.end())
                        t.candidates.push_back(want);
                const bool hinted = passwordHint_ != XCB_ATOM_NONE &&
                                    std::find(offered.begin(), offered.end(), passwordHint_) != offered.end();
                if (hinted) {
                    convert(Stage::Hint, passwordHint_);
                    return;
                }
                if (t.candidates.empty()) {
                    complete(std::u16string());  // no text on the clipboard
                    return;
                }
                nextCandidate();
                return;
            }
            case Stage::Hint:
                if (t.data == "secret") {
                    if (!state_.pasteWanted(t.generation)) {
                        state_.secretFound(t.generation);
                        transfer_.reset();
                        return;
                    }
                    t.secret = true;
                }
                if (t.candidates.empty()) {
                    complete(std::u16string());
                    return;
                }
                nextCandidate();
                return;
            case Stage::Text:
                complete(t.text ? t.text->finish() : std::u16string());
                return;
        }
    }

    void complete(std::u16string text) {
        const std::uint64_t generation = transfer_->generation;
        const bool secret = transfer_->secret;
        transfer_.reset();
        if (secret)
            state_.secretFetched(generation, SharedText(std::move(text)));
        else
            state_.fetched(generation, SharedText(std::move(text)));
    }

    Options options_;
    xcb_connection_t* c_ = nullptr;
    xcb_window_t window_ = XCB_NONE;
    std::uint8_t xfixesEvent_ = 0;
    xcb_atom_t clipboard_ = XCB_ATOM_NONE, targets_ = XCB_ATOM_NONE, incr_ = XCB_ATOM_NONE;
    xcb_atom_t utf8String_ = XCB_ATOM_NONE, text_ = XCB_ATOM_NONE, compoundText_ = XCB_ATOM_NONE;
    xcb_atom_t passwordHint_ = XCB_ATOM_NONE;
    std::array<xcb_atom_t, 4> properties_{};
    std::size_t nextProperty_ = 0;
    std::vector<xcb_atom_t> textPreference_;
    xcb_timestamp_t ownerTime_ = XCB_CURRENT_TIME;

    SelectionState state_;
    std::optional<Transfer> transfer_;  // reader thread only
    int wake_ = -1;
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

}  // namespace stock::x11
