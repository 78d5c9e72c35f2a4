// What the program knows about the CLIPBOARD selection's text, shared between
// the reader thread (which learns of owner changes and fetches) and the UI
// thread (which reads, and writes through the toolkit). No X calls here.
//
// A new owner costs nothing until someone reads: the first read after an
// owner change answers busy and asks for one fetch of the newest owner, so a
// burst of owners between two reads costs one transfer.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "platform/shared_text.h"

namespace stock::x11 {

class SelectionState {
public:
    using Text = SharedText;
    using Clock = std::chrono::steady_clock;

    // --- Reader thread ---------------------------------------------------

    // The selection got a new owner; `owner` 0 means nobody owns it now.
    // `ours` tells whether the owner window belongs to the program's own
    // toolkit connection: such a change that answers one of our own writes
    // keeps the text noted for that write, with no fetch.
    void ownerChanged(std::uint32_t owner, bool ours);

    // A fetch to start: the generation it belongs to. Each wanted fetch is
    // handed out once.
    std::optional<std::uint64_t> takeFetch();
    // Whether the fetch of `generation` is still wanted; a fetch that is not
    // is dropped, as the selection changed under it (or nobody waits for it).
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
    // The last fetched text. The first read after an owner change, and one
    // after a failed fetch, queue a fetch and read busy.
    Read read();

    // A paste: like read(), and when the owner marks its text a secret, a
    // fetch of that text for the paste alone is queued. Then awaitPaste()
    // waits, until `deadline` at most, for the text.
    Read requestPaste();
    std::optional<Text> awaitPaste(Clock::time_point deadline);

    // The program is about to put `text` on the clipboard itself: it is the
    // clipboard text from now on, and the owner change that the write causes
    // is expected.
    void ownWriteBegun(Text text);
    // That write did not take the selection: the clipboard is whatever it
    // was, so fetch it again. Returns true (wake the reader).
    bool ownWriteFailed();

    // Changes with every owner change, own write and retry; within one
    // generation a text, once read, stays the same.
    std::uint64_t generation() const;

    // Finished text transfers, for tests and benchmarks.
    std::uint64_t transfers() const;

private:
    // Stale: a new owner whose text nobody asked for yet.
    enum class Status { Stale, Fetching, Ready, Failed, Secret };

    void wantFetchLocked();
    Read readLocked();
    void changedLocked();

    mutable std::mutex m_;
    std::condition_variable changed_;
    Status status_ = Status::Stale;
    Text text_;
    std::uint64_t generation_ = 1;
    bool handedOut_ = false;
    bool pasteWanted_ = false;           // a paste waits for this generation's text
    std::optional<Text> pasted_;         // a secret fetched for that paste
    std::deque<Text> pendingOwnWrites_;  // oldest first, waiting for their owner change
    std::uint64_t transfers_ = 0;
};

}  // namespace stock::x11
