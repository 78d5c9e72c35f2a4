#include "os/wayland/wayland_clipboard.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <exception>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "os/selection/reader_front.h"
#include "os/wayland/data_control.h"
#include "os/wayland/pipe_io.h"

namespace stock::wayland {
namespace {

constexpr std::string_view kHint = "x-kde-passwordManagerHint";
// Text types, in the order of preference. STRING is ISO 8859-1; the others
// are read and served as UTF-8.
constexpr const char* kTextTypes[] = {
    "text/plain;charset=utf-8", "text/plain;charset=UTF-8", "UTF8_STRING", "text/plain", "TEXT", "STRING"};
bool isLatin1Type(std::string_view type) { return type == "STRING"; }

// Listed by every source of ours, so that the selection it becomes is known
// for the program's own.
constexpr const char* kOwnMark = "application/x-stockkun-source";
constexpr std::size_t kMostTypes = 256;  // types kept of one offer
constexpr std::size_t kMostSends = 32;   // readers served at once
constexpr auto kSendStall = std::chrono::seconds(30);

struct Offer {
    explicit Offer(wl_proxy* p) : proxy(p) {}
    ~Offer() { destroy(proxy); }
    Offer(const Offer&) = delete;
    Offer& operator=(const Offer&) = delete;
    bool has(std::string_view type) const { return std::find(types.begin(), types.end(), type) != types.end(); }
    wl_proxy* proxy;
    std::vector<std::string> types;
};

struct Source {
    wl_proxy* proxy;
    SharedText text;
};

// One offer's text on its way: the password hint first when it lists one,
// then its text types in order until one gives bytes, then a round trip that
// tells whether the offer vanished meanwhile (its text may be cut short).
struct Transfer {
    enum class Stage { Hint, Text, Check };
    std::uint64_t generation = 0;
    std::shared_ptr<Offer> offer;
    Stage stage = Stage::Text;
    std::optional<PipeReader> pipe;
    std::vector<const char*> candidates;  // text types not tried yet
    bool triedText = false;               // some text type came back empty
    bool secret = false;                  // fetched for a paste only
    std::u16string text;
    wl_callback* check = nullptr;
    bool vanished = false;
    ~Transfer() {
        if (check) wl_callback_destroy(check);
    }
};

int millisecondsUntil(std::optional<Clock::time_point> until, Clock::time_point now) {
    if (!until) return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*until - now).count();
    return static_cast<int>(std::clamp<long long>(left + 1, 0, 60000));
}

}  // namespace

class WaylandClipboard::Impl {
public:
    explicit Impl(Options options) : options_(options) {
        if (!connect() || !front_.ok()) {
            release();
            return;
        }
        try {
            thread_ = std::thread([this] { run(); });
        } catch (...) {
            std::fputs("stockkun: wayland clipboard: no thread; the X11 clipboard serves\n", stderr);
            release();
            return;
        }
        usable_ = true;
    }

    ~Impl() {
        stop_ = true;
        front_.wake();
        if (thread_.joinable()) thread_.join();
        release();
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    bool usable() const { return usable_ && !broken_; }
    std::string_view protocol() const { return usable_ ? protocol_->manager : std::string_view(); }

private:
    // Lets go of the compositor: a connection kept but never read would fill
    // up with its events.
    void release() {
        transfer_.reset();
        current_.reset();
        pending_.clear();
        for (const Source& s : sources_) destroy(s.proxy);
        if (device_) destroy(device_);
        if (manager_) destroyManager(manager_);
        if (seat_) wl_proxy_destroy(seat_);
        if (registry_) wl_registry_destroy(registry_);
        sources_.clear();
        sends_.clear();
        device_ = manager_ = seat_ = nullptr;
        registry_ = nullptr;
        if (display_) wl_display_disconnect(display_);
        display_ = nullptr;
    }

public:
    std::optional<ClipboardText> read() {
        if (!usable()) return std::nullopt;
        return front_.read();
    }

    std::optional<SharedText> readTextToPaste() {
        if (!usable()) return std::nullopt;
        return front_.readTextToPaste(options_.stallTimeout);
    }

    bool write(const SharedText& text) {
        if (!usable()) return false;
        state_.ownWriteBegun(text);  // before the thread can see the write
        {
            std::lock_guard lock(writesMutex_);
            writes_.push_back(text);
        }
        front_.wake();
        return true;
    }

    std::uint64_t changeCount() const { return state_.changeCount(); }
    std::uint64_t transfers() const { return state_.transfers(); }

private:
    // --- Setting up, on the constructing thread before the reader's starts.

    bool connect() {
        const char* named = std::getenv("WAYLAND_DISPLAY");
        const char* socket = std::getenv("WAYLAND_SOCKET");
        if ((!named || !*named) && (!socket || !*socket)) return false;
        display_ = wl_display_connect(nullptr);
        if (!display_) return false;
        registry_ = wl_display_get_registry(display_);
        static const wl_registry_listener kRegistry = {&Impl::onGlobal, [](void*, wl_registry*, std::uint32_t) {}};
        wl_registry_add_listener(registry_, &kRegistry, this);
        if (wl_display_roundtrip(display_) < 0) return false;
        if (!bindGlobals()) return false;
        static const DeviceListener kDevice = {&Impl::onDataOffer, &Impl::onSelection, &Impl::onFinished,
                                               &Impl::onPrimarySelection};
        device_ = getDevice(manager_, seat_, *protocol_);
        if (!device_) return false;
        wl_proxy_add_listener(device_, reinterpret_cast<void (**)()>(const_cast<DeviceListener*>(&kDevice)), this);
        // The selection as it stands comes before this round trip ends.
        return wl_display_roundtrip(display_) >= 0 && !broken_;
    }

    struct Global {
        std::uint32_t name = 0;
        std::uint32_t version = 0;
    };

    static void onGlobal(void* data, wl_registry*, std::uint32_t name, const char* interface, std::uint32_t version) {
        auto& self = *static_cast<Impl*>(data);
        const std::string_view i(interface);
        if (i == "wl_seat" && self.seatGlobal_.name == 0) self.seatGlobal_ = {name, version};
        if (i == extDataControl().manager) self.extGlobal_ = {name, version};
        if (i == wlrDataControl().manager) self.wlrGlobal_ = {name, version};
    }

    bool bindGlobals() {
        if (seatGlobal_.name == 0) return false;
        for (auto [protocol, global] : {std::pair{&extDataControl(), extGlobal_}, {&wlrDataControl(), wlrGlobal_}}) {
            if (global.name == 0 || global.version < protocol->version) continue;
            protocol_ = protocol;
            manager_ = static_cast<wl_proxy*>(
                wl_registry_bind(registry_, global.name, protocol->managerInterface, protocol->version));
            break;
        }
        if (!manager_) return false;
        seat_ = static_cast<wl_proxy*>(wl_registry_bind(registry_, seatGlobal_.name, &wl_seat_interface, 1));
        return seat_ != nullptr;
    }

    // --- Events.

    static Impl& self(void* data) { return *static_cast<Impl*>(data); }

    static void onDataOffer(void* data, wl_proxy*, wl_proxy* offer) {
        static const OfferListener kOffer = {&Impl::onOfferType};
        auto held = std::make_shared<Offer>(offer);
        wl_proxy_add_listener(offer, reinterpret_cast<void (**)()>(const_cast<OfferListener*>(&kOffer)), held.get());
        self(data).pending_.emplace(offer, std::move(held));
    }

    static void onOfferType(void* data, wl_proxy*, const char* type) {
        auto& offer = *static_cast<Offer*>(data);
        if (offer.types.size() < kMostTypes) offer.types.emplace_back(type);
    }

    // The offer that `proxy` names, taken from those introduced.
    std::shared_ptr<Offer> takeOffer(wl_proxy* proxy) {
        const auto it = pending_.find(proxy);
        if (it == pending_.end()) return nullptr;
        auto offer = std::move(it->second);
        pending_.erase(it);
        return offer;
    }

    static void onSelection(void* data, wl_proxy*, wl_proxy* proxy) {
        Impl& s = self(data);
        s.current_ = proxy ? s.takeOffer(proxy) : nullptr;
        // The owner went away (the compositor clears its selection): a text
        // still on its way from it may be cut short.
        if (!s.current_ && s.transfer_) s.transfer_->vanished = true;
        s.state_.ownerChanged(s.current_ ? 1 : 0, s.current_ && s.current_->has(kOwnMark));
    }

    static void onPrimarySelection(void* data, wl_proxy*, wl_proxy* proxy) {
        if (proxy) self(data).takeOffer(proxy);  // not watched: let it go
    }

    static void onFinished(void* data, wl_proxy*) { self(data).broken_ = true; }

    static void onSend(void* data, wl_proxy* proxy, const char* type, std::int32_t fd) {
        Impl& s = self(data);
        Fd pipe(fd);
        const auto it =
            std::find_if(s.sources_.begin(), s.sources_.end(), [&](const Source& x) { return x.proxy == proxy; });
        const std::string_view t(type);
        const bool text = std::find(std::begin(kTextTypes), std::end(kTextTypes), t) != std::end(kTextTypes);
        if (it == s.sources_.end() || !text) return;  // the mark, or a type never offered: nothing to say
        if (s.sends_.size() >= kMostSends) s.sends_.pop_front();
        s.sends_.emplace_back(std::move(pipe), it->text, isLatin1Type(t), Clock::now());
        if (!s.sends_.back().pump(Clock::now())) s.sends_.pop_back();
    }

    static void onCancelled(void* data, wl_proxy* proxy) {
        Impl& s = self(data);
        destroy(proxy);
        s.sources_.remove_if([&](const Source& x) { return x.proxy == proxy; });
    }

    static void onChecked(void* data, wl_callback*, std::uint32_t) { self(data).settleChecked(); }

    // --- The reader's thread.

    void run() {
        // A reader that goes away while we serve it must not end the program.
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
        // The selection found at the start is fetched before the first wait.
        while (!stop_ && !broken_) {
            try {
                work(Clock::now());
            } catch (const std::exception& e) {
                std::fprintf(stderr, "stockkun: wayland clipboard: %s; the transfer is dropped\n", e.what());
                dropTransfer();
            } catch (...) {
                std::fputs("stockkun: wayland clipboard: a transfer failed; it is dropped\n", stderr);
                dropTransfer();
            }
            waitAndDispatch();
        }
    }

    std::optional<Clock::time_point> nextDeadline() const {
        std::optional<Clock::time_point> until;
        const auto sooner = [&](Clock::time_point t) { until = until ? std::min(*until, t) : t; };
        if (transfer_ && transfer_->pipe) sooner(transfer_->pipe->lastProgress() + options_.stallTimeout);
        if (!transfer_)
            if (auto held = state_.heldBackUntil()) sooner(*held);
        for (const PipeWriter& w : sends_) sooner(w.lastProgress() + kSendStall);
        return until;
    }

    // Waits for the compositor, the UI thread, the pipes or the next
    // deadline, and handles the compositor's events.
    void waitAndDispatch() {
        while (wl_display_prepare_read(display_) != 0)
            if (wl_display_dispatch_pending(display_) < 0) return fail();
        wl_display_flush(display_);
        std::vector<pollfd> fds = {{wl_display_get_fd(display_), POLLIN, 0},
                                   {front_.wakeFd(), POLLIN, 0},
                                   {transfer_ && transfer_->pipe ? transfer_->pipe->fd() : -1, POLLIN, 0}};
        for (const PipeWriter& w : sends_) fds.push_back({w.fd(), POLLOUT, 0});
        poll(fds.data(), fds.size(), millisecondsUntil(nextDeadline(), Clock::now()));
        if (fds[0].revents & POLLIN) {
            if (wl_display_read_events(display_) < 0) return fail();
        } else {
            wl_display_cancel_read(display_);
        }
        if (wl_display_dispatch_pending(display_) < 0) return fail();
        if (fds[1].revents & POLLIN) front_.woken();
    }

    void fail() {
        broken_ = true;
        std::fputs("stockkun: wayland clipboard: the compositor's connection is lost\n", stderr);
    }

    void work(Clock::time_point now) {
        publishWrites();
        if (transfer_ && transfer_->pipe) pump(now);
        for (auto it = sends_.begin(); it != sends_.end();)
            it = it->pump(now) && now - it->lastProgress() < kSendStall ? std::next(it) : sends_.erase(it);
        if (transfer_ && !state_.wanted(transfer_->generation)) transfer_.reset();
        if (!transfer_)
            if (auto generation = state_.takeFetch(now)) start(*generation);
    }

    // Our own writes: each a source of its own that becomes the selection.
    void publishWrites() {
        std::deque<SharedText> writes;
        {
            std::lock_guard lock(writesMutex_);
            writes.swap(writes_);
        }
        static const SourceListener kSource = {&Impl::onSend, &Impl::onCancelled};
        for (SharedText& text : writes) {
            wl_proxy* source = createSource(manager_, *protocol_);
            if (!source) continue;
            wl_proxy_add_listener(source, reinterpret_cast<void (**)()>(const_cast<SourceListener*>(&kSource)), this);
            for (const char* type : kTextTypes) offerMimeType(source, type);
            offerMimeType(source, kOwnMark);
            setSelection(device_, source);
            sources_.push_back({source, std::move(text)});
        }
    }

    void start(std::uint64_t generation) {
        if (!current_) {
            state_.fetched(generation, SharedText());
            return;
        }
        transfer_.emplace();
        transfer_->generation = generation;
        transfer_->offer = current_;
        for (const char* type : kTextTypes)
            if (current_->has(type)) transfer_->candidates.push_back(type);
        if (current_->has(kHint)) {
            transfer_->stage = Transfer::Stage::Hint;
            if (!open(kHint.data(), false)) dropTransfer();
            return;
        }
        nextCandidate();
    }

    // Asks the owner for one type's bytes through a new pipe.
    bool open(const char* type, bool latin1) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return false;
        Fd readEnd(ends[0]);
        Fd writeEnd(ends[1]);
        receive(transfer_->offer->proxy, type, writeEnd.get());  // the request holds a copy of the write end
        wl_display_flush(display_);
        transfer_->pipe.emplace(std::move(readEnd), latin1, options_.textLimit, Clock::now());
        return true;
    }

    void nextCandidate() {
        Transfer& t = *transfer_;
        if (t.candidates.empty()) {
            // Not one text type listed: no text on the clipboard. Listed, but
            // every one came back empty: refused, which is no empty clipboard.
            if (t.triedText) return dropTransfer();
            settle(SharedText());
            return;
        }
        const char* type = t.candidates.front();
        t.candidates.erase(t.candidates.begin());
        t.stage = Transfer::Stage::Text;
        t.triedText = true;
        if (!open(type, isLatin1Type(type))) dropTransfer();
    }

    void pump(Clock::time_point now) {
        Transfer& t = *transfer_;
        const PipeReader::Status status = t.pipe->pump(now);
        if (status == PipeReader::Status::Failed) return dropTransfer();
        if (status == PipeReader::Status::Open) {
            if (now - t.pipe->lastProgress() >= options_.stallTimeout) dropTransfer();
            return;
        }
        if (t.stage == Transfer::Stage::Hint) return hintRead();
        if (t.pipe->bytes() == 0) {
            t.pipe.reset();
            return nextCandidate();
        }
        t.text = t.pipe->finish();
        t.pipe.reset();
        t.stage = Transfer::Stage::Check;
        static const wl_callback_listener kChecked = {&Impl::onChecked};
        t.check = wl_display_sync(display_);
        wl_callback_add_listener(t.check, &kChecked, this);
    }

    void hintRead() {
        Transfer& t = *transfer_;
        const bool secret = t.pipe->raw() == "secret";
        t.pipe.reset();
        if (secret && !state_.pasteWanted(t.generation)) {
            state_.secretFound(t.generation);
            transfer_.reset();
            return;
        }
        t.secret = secret;
        nextCandidate();
    }

    // Every event sent before the text ended has been seen.
    void settleChecked() {
        if (!transfer_ || transfer_->stage != Transfer::Stage::Check) return;
        if (transfer_->vanished) return dropTransfer();
        settle(SharedText(std::move(transfer_->text)));
    }

    void settle(SharedText text) {
        if (transfer_->secret)
            state_.secretFetched(transfer_->generation, std::move(text));
        else
            state_.fetched(transfer_->generation, std::move(text));
        transfer_.reset();
    }

    void dropTransfer() {
        if (!transfer_) return;
        state_.failed(transfer_->generation);
        transfer_.reset();
    }

    Options options_;
    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    Global seatGlobal_, extGlobal_, wlrGlobal_;
    const DataControl* protocol_ = nullptr;
    wl_proxy* manager_ = nullptr;
    wl_proxy* seat_ = nullptr;
    wl_proxy* device_ = nullptr;

    selection::ReaderFront front_;
    selection::SelectionState& state_ = front_.state;
    // The reader's thread only (and the constructor's, before it starts).
    std::map<wl_proxy*, std::shared_ptr<Offer>> pending_;  // introduced, not yet named
    std::shared_ptr<Offer> current_;                       // the selection; null when empty
    std::optional<Transfer> transfer_;
    std::list<Source> sources_;
    std::list<PipeWriter> sends_;

    std::mutex writesMutex_;
    std::deque<SharedText> writes_;  // from the UI thread, to become sources
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> broken_{false};
    bool usable_ = false;
};

WaylandClipboard::WaylandClipboard(Options options) : impl_(std::make_unique<Impl>(options)) {}
WaylandClipboard::WaylandClipboard() : WaylandClipboard(Options{}) {}
WaylandClipboard::~WaylandClipboard() = default;

bool WaylandClipboard::usable() const { return impl_->usable(); }
std::string_view WaylandClipboard::protocol() const { return impl_->protocol(); }
std::optional<ClipboardText> WaylandClipboard::readText() { return impl_->read(); }
std::optional<SharedText> WaylandClipboard::readTextToPaste() { return impl_->readTextToPaste(); }
bool WaylandClipboard::writeText(const SharedText& text) { return impl_->write(text); }
std::optional<std::uint64_t> WaylandClipboard::changeCount() {
    if (!impl_->usable()) return std::nullopt;
    return impl_->changeCount();
}
std::uint64_t WaylandClipboard::transfers() const { return impl_->transfers(); }

}  // namespace stock::wayland
