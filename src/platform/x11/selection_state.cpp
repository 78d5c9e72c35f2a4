#include "platform/x11/selection_state.h"

#include <utility>

namespace stock::x11 {

void SelectionState::wantFetchLocked() {
    ++generation_;
    status_ = Status::Fetching;
    text_ = Text();
    handedOut_ = false;
}

void SelectionState::ownerChanged(std::uint32_t owner, bool ours) {
    std::lock_guard lock(m_);
    if (ours && !pendingOwnWrites_.empty()) {
        // The server's order of owners is the truth: this change is the
        // oldest write still waiting, whatever came in between.
        Text mine = std::move(pendingOwnWrites_.front());
        pendingOwnWrites_.pop_front();
        ++generation_;
        status_ = Status::Ready;
        text_ = std::move(mine);
        return;
    }
    if (owner == 0) {
        ++generation_;
        status_ = Status::Ready;
        text_ = Text();
        return;
    }
    // A foreign owner, or our own toolkit copying on its own (a key in a text
    // field): the text is unknown until fetched.
    wantFetchLocked();
}

std::optional<std::uint64_t> SelectionState::takeFetch() {
    std::lock_guard lock(m_);
    if (status_ != Status::Fetching || handedOut_) return std::nullopt;
    handedOut_ = true;
    return generation_;
}

bool SelectionState::wanted(std::uint64_t generation) const {
    std::lock_guard lock(m_);
    return generation == generation_ && status_ == Status::Fetching;
}

void SelectionState::fetched(std::uint64_t generation, std::u16string text) {
    Text shared(std::move(text));
    std::lock_guard lock(m_);
    if (generation != generation_ || status_ != Status::Fetching) return;
    status_ = Status::Ready;
    text_ = std::move(shared);
    ++transfers_;
}

void SelectionState::failed(std::uint64_t generation) {
    std::lock_guard lock(m_);
    if (generation != generation_ || status_ != Status::Fetching) return;
    status_ = Status::Failed;
}

void SelectionState::secretFound(std::uint64_t generation) {
    std::lock_guard lock(m_);
    if (generation != generation_ || status_ != Status::Fetching) return;
    status_ = Status::Secret;
}

SelectionState::Read SelectionState::read() {
    std::lock_guard lock(m_);
    switch (status_) {
    case Status::Ready:
        return {text_, false};
    case Status::Failed:
        wantFetchLocked();
        return {std::nullopt, true};
    case Status::Fetching:
    case Status::Secret:
        break;
    }
    return {std::nullopt, false};
}

void SelectionState::ownWriteBegun(Text text) {
    std::lock_guard lock(m_);
    pendingOwnWrites_.push_back(text);
    ++generation_;  // a fetch under way is for an older owner
    status_ = Status::Ready;
    text_ = std::move(text);
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
