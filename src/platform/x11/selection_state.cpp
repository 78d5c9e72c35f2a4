#include "platform/x11/selection_state.h"

#include <utility>

namespace stock::x11 {

void SelectionState::changedLocked() {
    pasteWanted_ = false;
    pasted_.reset();
    changed_.notify_all();
}

void SelectionState::wantFetchLocked() {
    ++generation_;
    status_ = Status::Fetching;
    text_ = Text();
    handedOut_ = false;
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
        ++generation_;
        status_ = Status::Ready;
        text_ = pendingOwnWrites_.empty() ? std::move(mine) : pendingOwnWrites_.back();
        changedLocked();
        return;
    }
    ++generation_;
    text_ = Text();
    handedOut_ = false;
    // Nobody: an empty clipboard. A foreign owner, or our own toolkit copying
    // on its own (a key in a text field): unknown until a read asks for it.
    status_ = owner == 0 ? Status::Ready : Status::Stale;
    changedLocked();
}

std::optional<std::uint64_t> SelectionState::takeFetch() {
    std::lock_guard lock(m_);
    if (handedOut_) return std::nullopt;
    if (status_ != Status::Fetching && !(status_ == Status::Secret && pasteWanted_)) return std::nullopt;
    handedOut_ = true;
    return generation_;
}

bool SelectionState::wanted(std::uint64_t generation) const {
    std::lock_guard lock(m_);
    return generation == generation_ && (status_ == Status::Fetching || (status_ == Status::Secret && pasteWanted_));
}

bool SelectionState::pasteWanted(std::uint64_t generation) const {
    std::lock_guard lock(m_);
    return generation == generation_ && pasteWanted_;
}

void SelectionState::fetched(std::uint64_t generation, Text text) {
    std::lock_guard lock(m_);
    if (generation != generation_ || status_ != Status::Fetching) return;
    status_ = Status::Ready;
    text_ = std::move(text);
    ++transfers_;
    changed_.notify_all();
}

void SelectionState::failed(std::uint64_t generation) {
    std::lock_guard lock(m_);
    if (generation != generation_) return;
    if (status_ == Status::Fetching) {
        status_ = Status::Failed;
    } else if (status_ == Status::Secret) {
        pasteWanted_ = false;  // the paste gets nothing; the secret stays unread
    } else {
        return;
    }
    changed_.notify_all();
}

void SelectionState::secretFound(std::uint64_t generation) {
    std::lock_guard lock(m_);
    if (generation != generation_ || status_ != Status::Fetching) return;
    status_ = Status::Secret;
    // A paste that asked after this fetch had passed the hint gets a fetch
    // of its own.
    if (pasteWanted_) handedOut_ = false;
    changed_.notify_all();
}

void SelectionState::secretFetched(std::uint64_t generation, Text text) {
    std::lock_guard lock(m_);
    if (generation != generation_) return;
    if (status_ == Status::Fetching) status_ = Status::Secret;  // never cached
    if (status_ != Status::Secret) return;
    changed_.notify_all();
    if (!pasteWanted_) return;  // the paste gave up waiting
    pasted_ = std::move(text);
    pasteWanted_ = false;
    ++transfers_;
    changed_.notify_all();
}

SelectionState::Read SelectionState::readLocked() {
    switch (status_) {
        case Status::Ready:
            return {text_, false};
        case Status::Stale:
            status_ = Status::Fetching;
            handedOut_ = false;
            return {std::nullopt, true};
        case Status::Failed:
            wantFetchLocked();
            return {std::nullopt, true};
        case Status::Secret:
            return {std::nullopt, false, true};
        case Status::Fetching:
            break;
    }
    return {std::nullopt, false};
}

SelectionState::Read SelectionState::read() {
    std::lock_guard lock(m_);
    return readLocked();
}

SelectionState::Read SelectionState::requestPaste() {
    std::lock_guard lock(m_);
    Read r = readLocked();
    if (r.text) return r;
    pasteWanted_ = true;
    pasted_.reset();
    if (status_ == Status::Secret && !handedOut_) r.wakeReader = true;
    if (status_ == Status::Secret && handedOut_) {
        // The fetch that found the secret has ended: ask for another.
        handedOut_ = false;
        r.wakeReader = true;
    }
    return r;
}

std::optional<SelectionState::Text> SelectionState::awaitPaste(Clock::time_point deadline) {
    std::unique_lock lock(m_);
    const std::uint64_t generation = generation_;
    changed_.wait_until(lock, deadline, [&] {
        if (generation != generation_) return true;
        switch (status_) {
            case Status::Ready:
            case Status::Failed:
            case Status::Stale:
                return true;
            case Status::Secret:
                return pasted_.has_value() || !pasteWanted_;
            case Status::Fetching:
                return false;
        }
        return true;
    });
    std::optional<Text> out;
    if (generation == generation_) {
        if (status_ == Status::Ready)
            out = text_;
        else if (status_ == Status::Secret && pasted_)
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
    ++generation_;  // a fetch under way is for an older owner
    status_ = Status::Ready;
    text_ = std::move(text);
    changedLocked();
}

bool SelectionState::ownWriteFailed() {
    std::lock_guard lock(m_);
    if (!pendingOwnWrites_.empty()) pendingOwnWrites_.pop_back();
    wantFetchLocked();
    return true;
}

std::uint64_t SelectionState::generation() const {
    std::lock_guard lock(m_);
    return generation_;
}

std::uint64_t SelectionState::transfers() const {
    std::lock_guard lock(m_);
    return transfers_;
}

}  // namespace stock::x11
