// What the program knows about the clipboard's text, shared between a
// reader thread (which learns of owner changes and fetches, over X11 or
// Wayland) and the UI thread (which reads and writes). No window-system
// calls here.
//
// A new owner's text is fetched at once, one fetch at a time: a fetch that a
// newer owner overtakes still finishes, and the newest owner is fetched next.
// A read answers the newest text fetched completely, so that while the
// clipboard keeps changing every read still finds the text it held a moment
// before; a text that was answered once and then overtaken reads busy.
// While the clipboard keeps changing, a fetched text that no read has taken
// yet holds the next fetch back for kPace: reads (once a second) find a text
// at most that old, and a burst of copies costs a few transfers a second, not
// one per copy.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "core/text/shared_text.h"

namespace stock::selection {

class SelectionState {
public:
    using Text = SharedText;
    using Clock = std::chrono::steady_clock;

    // --- Reader thread ---------------------------------------------------

    // The selection got a new owner; `owner` 0 means nobody owns it now.
    // `ours` tells whether the new owner is the program itself (a window of
    // its own toolkit connection, or a source of its own): such a change that
    // answers one of our own writes keeps the text noted for it, with no fetch.
    void ownerChanged(std::uint32_t owner, bool ours);

    static constexpr std::chrono::milliseconds kPace{250};

    // A fetch to start: the generation it belongs to, always the newest.
    // Each wanted fetch is handed out once.
    std::optional<std::uint64_t> takeFetch(Clock::time_point now = Clock::now());
    // When a wanted fetch is held back: the time it is due.
    std::optional<Clock::time_point> heldBackUntil(Clock::time_point now = Clock::now()) const;
    // Whether the fetch of `generation` is still worth finishing: it is the
    // newest owner's, or an older one's that nothing newer has overtaken.
    bool wanted(std::uint64_t generation) const;
    // Whether someone waits to paste the text of `generation`, secret or not.
    bool pasteWanted(std::uint64_t generation) const;

    void fetched(std::uint64_t generation, Text text);
    void failed(std::uint64_t generation);       // refused, broken or timed out
    void secretFound(std::uint64_t generation);  // the owner marks it a secret
    // A secret's text, fetched for a paste: handed to the waiting paste only,
    // never kept.
    void secretFetched(std::uint64_t generation, Text text);

    // --- UI thread -------------------------------------------------------

    struct Read {
        std::optional<Text> text;  // nullopt: busy (not fetched yet, fetching, failed or a secret)
        bool wakeReader = false;   // a fetch was queued for the reader thread
        bool secret = false;       // the owner marks its text a secret
    };
    // The newest text fetched completely: the newest owner's, or while that
    // one is being fetched an older owner's that no read has answered before
    // the state last changed. A read after a failed fetch queues a retry.
    Read read();

    // A paste: the newest owner's text alone. When the owner marks its text
    // a secret, a fetch of that text for the paste alone is queued. Then
    // awaitPaste() waits, until `deadline` at most, for the text.
    Read requestPaste();
    std::optional<Text> awaitPaste(Clock::time_point deadline);

    // The program is about to put `text` on the clipboard itself: it is the
    // clipboard text from now on, and the owner change that the write causes
    // is expected.
    void ownWriteBegun(Text text);
    // That write did not take the selection: the clipboard is whatever it
    // was, so fetch it again. Returns true (wake the reader).
    bool ownWriteFailed();

    // The newest owner's generation: changes with every owner change and own write.
    std::uint64_t generation() const;
    // Changes whenever what read() answers may change; while it stands still,
    // read() answers the same.
    std::uint64_t changeCount() const;

    // Finished text transfers, for tests and benchmarks.
    std::uint64_t transfers() const;

private:
    // The newest complete result: a text, or a secret left unread.
    struct Result {
        std::uint64_t generation = 0;  // 0: none yet
        bool secret = false;
        Text text;
        std::optional<std::uint64_t> answeredAt;  // the change count when a read first answered it
        Clock::time_point at{};                   // when it was settled
    };

    bool currentLocked() const { return newest_.generation == generation_; }
    bool fetchWantedLocked() const;
    bool heldBackLocked(Clock::time_point now) const;
    void newOwnerLocked();
    void settleLocked(std::uint64_t generation, bool secret, Text text);
    void changedLocked();
    Read answerLocked();

    mutable std::mutex m_;
    std::condition_variable changed_;
    std::uint64_t generation_ = 1;
    Result newest_;
    bool failed_ = false;     // the newest owner's fetch failed; the next read retries
    bool handedOut_ = false;  // the newest owner's fetch is with the reader thread
    std::uint64_t changes_ = 0;
    bool pasteWanted_ = false;           // a paste waits for this generation's text
    std::optional<Text> pasted_;         // a secret fetched for that paste
    std::deque<Text> pendingOwnWrites_;  // oldest first, waiting for their owner change
    std::uint64_t transfers_ = 0;
};

}  // namespace stock::selection
