// What the program knows about the CLIPBOARD selection's text, shared between
// the reader thread (which learns of owner changes and fetches) and the UI
// thread (which reads, and writes through the toolkit). No X calls here.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/shared_text.h"

namespace stock::x11 {

class SelectionState {
public:
    using Text = SharedText;

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
    // is dropped, as the selection changed under it.
    bool wanted(std::uint64_t generation) const;

    void fetched(std::uint64_t generation, std::u16string text);
    void failed(std::uint64_t generation);      // refused, broken or timed out
    void secretFound(std::uint64_t generation); // the owner marks it a secret

    // --- UI thread -------------------------------------------------------

    struct Read {
        std::optional<Text> text;  // nullopt: busy (fetching, failed or a secret)
        bool wakeReader = false;  // a retry was queued for the reader thread
    };
    // The last fetched text. A failed fetch queues one retry and reads busy.
    Read read();

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
    enum class Status { Fetching, Ready, Failed, Secret };

    void wantFetchLocked();

    mutable std::mutex m_;
    Status status_ = Status::Fetching;
    Text text_;
    std::uint64_t generation_ = 1;
    bool handedOut_ = false;
    std::deque<Text> pendingOwnWrites_;  // oldest first, waiting for their owner change
    std::uint64_t transfers_ = 0;
};

}  // namespace stock::x11
