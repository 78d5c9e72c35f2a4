#include "os/selection/selection_state.h"

#include <utility>

namespace stock::selection {

void SelectionState::changedLocked() {
    ++changes_;
    changed_.notify_all();
}

// A new generation whose text is not known yet.
void SelectionState::newOwnerLocked() {
    ++generation_;
    failed_ = false;
    handedOut_ = false;
    pasteWanted_ = false;
    pasted_.reset();
}

bool SelectionState::fetchWantedLocked() const {
    if (currentLocked()) return newest_.secret && pasteWanted_;
    return !failed_;
}

// A fetch waits while the newest text, fetched a moment ago, is still
// waiting for its read; a paste never waits.
bool SelectionState::heldBackLocked(Clock::time_point now) const {
    return !pasteWanted_ && newest_.generation != 0 && !newest_.answeredAt && now < newest_.at + kPace;
}

// A complete result for `generation`: it replaces the newest one, which goes.
void SelectionState::settleLocked(std::uint64_t generation, bool secret, Text text) {
    newest_ = Result{generation, secret, std::move(text), std::nullopt, Clock::now()};
    changedLocked();
}

void SelectionState::ownerChanged(std::uint32_t owner, bool ours) {
    std::lock_guard lock(m_);
    if (ours && !pendingOwnWrites_.empty()) {
        // The server's order of owners is the truth: this change is the
        // oldest write still waiting, whatever came in between. A later
        // write of ours is on its way and will own the clipboard next, so
        // the clipboard's text is the newest write's.
        Text mine = std::move(pendingOwnWrites_.front());
        pendingOwnWrites_.pop_front();
        newOwnerLocked();
        settleLocked(generation_, false, pendingOwnWrites_.empty() ? std::move(mine) : pendingOwnWrites_.back());
        return;
    }
    newOwnerLocked();
    // Nobody: an empty clipboard. A foreign owner, or our own toolkit copying
    // on its own (a key in a text field): fetched now.
    if (owner == 0)
        settleLocked(generation_, false, Text());
    else
        changedLocked();
}

std::optional<std::uint64_t> SelectionState::takeFetch(Clock::time_point now) {
    std::lock_guard lock(m_);
    if (handedOut_ || !fetchWantedLocked() || heldBackLocked(now)) return std::nullopt;
    handedOut_ = true;
    return generation_;
}

std::optional<SelectionState::Clock::time_point> SelectionState::heldBackUntil(Clock::time_point now) const {
    std::lock_guard lock(m_);
    if (handedOut_ || !fetchWantedLocked() || !heldBackLocked(now)) return std::nullopt;
    return newest_.at + kPace;
}

bool SelectionState::wanted(std::uint64_t generation) const {
    std::lock_guard lock(m_);
    if (generation == generation_) return fetchWantedLocked();
    return generation < generation_ && generation > newest_.generation;
}

bool SelectionState::pasteWanted(std::uint64_t generation) const {
    std::lock_guard lock(m_);
    return generation == generation_ && pasteWanted_;
}

void SelectionState::fetched(std::uint64_t generation, Text text) {
    std::lock_guard lock(m_);
    if (generation <= newest_.generation || generation > generation_) return;
    ++transfers_;
    settleLocked(generation, false, std::move(text));
}

void SelectionState::failed(std::uint64_t generation) {
    std::lock_guard lock(m_);
    if (generation != generation_) return;  // an overtaken fetch: the newest is next
    if (!currentLocked()) {
        failed_ = true;
    } else if (newest_.secret && pasteWanted_) {
        pasteWanted_ = false;  // the paste gets nothing; the secret stays unread
    } else {
        return;
    }
    changedLocked();
}

void SelectionState::secretFound(std::uint64_t generation) {
    std::lock_guard lock(m_);
    if (generation <= newest_.generation || generation > generation_) return;
    settleLocked(generation, true, Text());
    // A paste that asked after this fetch had passed the hint gets a fetch
    // of its own.
    if (generation == generation_ && pasteWanted_) handedOut_ = false;
}

void SelectionState::secretFetched(std::uint64_t generation, Text text) {
    std::lock_guard lock(m_);
    if (generation != generation_) return;
    if (!currentLocked()) settleLocked(generation, true, Text());  // never cached
    if (!newest_.secret || !pasteWanted_) return;                  // the paste gave up waiting
    pasted_ = std::move(text);
    pasteWanted_ = false;
    ++transfers_;
    changedLocked();
}

SelectionState::Read SelectionState::answerLocked() {
    Read r;
    if (!currentLocked() && failed_) {
        // Retry once per read, never on its own: a tick sets the pace.
        failed_ = false;
        handedOut_ = false;
        r.wakeReader = true;
        changedLocked();
    }
    const bool overtaken = !currentLocked() && newest_.answeredAt && *newest_.answeredAt != changes_;
    if (newest_.generation == 0 || overtaken) return r;
    if (!newest_.answeredAt) {
        // A fetch held back for this text's read may start now.
        if (!handedOut_ && fetchWantedLocked()) r.wakeReader = true;
        newest_.answeredAt = changes_;
    }
    if (newest_.secret)
        r.secret = true;
    else
        r.text = newest_.text;
    return r;
}

SelectionState::Read SelectionState::read() {
    std::lock_guard lock(m_);
    return answerLocked();
}

SelectionState::Read SelectionState::requestPaste() {
    std::lock_guard lock(m_);
    Read r;
    if (currentLocked() && !newest_.secret) {
        r.text = newest_.text;
        return r;
    }
    pasteWanted_ = true;
    pasted_.reset();
    if (failed_) {
        failed_ = false;
        handedOut_ = false;
        changedLocked();
    }
    if (currentLocked() || !handedOut_) {
        // A secret's text for this paste alone, or the newest owner's fetch.
        handedOut_ = false;
        r.wakeReader = true;
    }
    return r;
}

std::optional<SelectionState::Text> SelectionState::awaitPaste(Clock::time_point deadline) {
    std::unique_lock lock(m_);
    const std::uint64_t generation = generation_;
    changed_.wait_until(lock, deadline, [&] {
        if (generation != generation_ || failed_) return true;
        if (!currentLocked()) return false;
        return !newest_.secret || pasted_.has_value() || !pasteWanted_;
    });
    std::optional<Text> out;
    if (generation == generation_ && currentLocked()) {
        if (!newest_.secret)
            out = newest_.text;
        else if (pasted_)
            out = std::move(pasted_);
    }
    // Whatever came of it, nothing of a secret stays behind, and a fetch
    // still running for this paste is no longer wanted.
    pasted_.reset();
    pasteWanted_ = false;
    return out;
}

void SelectionState::ownWriteBegun(Text text) {
    std::lock_guard lock(m_);
    pendingOwnWrites_.push_back(text);
    newOwnerLocked();  // a fetch under way is for an older owner
    settleLocked(generation_, false, std::move(text));
}

bool SelectionState::ownWriteFailed() {
    std::lock_guard lock(m_);
    if (!pendingOwnWrites_.empty()) pendingOwnWrites_.pop_back();
    newOwnerLocked();
    changedLocked();
    return true;
}

std::uint64_t SelectionState::generation() const {
    std::lock_guard lock(m_);
    return generation_;
}

std::uint64_t SelectionState::changeCount() const {
    std::lock_guard lock(m_);
    return changes_;
}

std::uint64_t SelectionState::transfers() const {
    std::lock_guard lock(m_);
    return transfers_;
}

}  // namespace stock::selection
