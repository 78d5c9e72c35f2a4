#include "os/x11/selection_fetch.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace stock::x11 {
namespace {

// Longest piece of a property asked for in one request, in 32-bit units.
constexpr std::uint32_t kChunkWords = 1u << 20;

}  // namespace

SelectionFetch::SelectionFetch(const SelectionAtoms& atoms, SelectionIo& io, Setup setup)
    : atoms_(atoms), io_(io), setup_(std::move(setup)) {}

void SelectionFetch::start(Clock::time_point now) {
    now_ = now;
    limit_ = now + setup_.limit;
    ask(Stage::Targets, atoms_.targets);
}

void SelectionFetch::ask(Stage stage, xcb_atom_t target) {
    stage_ = stage;
    target_ = target;
    incremental_ = false;
    value_.clear();
    valueType_ = XCB_ATOM_NONE;
    valueBytes_ = 0;
    sizeHint_.reset();
    text_.reset();
    deadline_ = now_ + setup_.stallTimeout;
    io_.deleteProperty(setup_.property);
    io_.convert(target, setup_.property, setup_.time);
}

void SelectionFetch::onEvent(const xcb_generic_event_t& event, Clock::time_point now) {
    if (outcome_ != Outcome::Running) return;
    now_ = now;
    const std::uint8_t type = event.response_type & 0x7f;
    if (type == XCB_SELECTION_NOTIFY)
        onNotify(reinterpret_cast<const xcb_selection_notify_event_t&>(event));
    else if (type == XCB_PROPERTY_NOTIFY)
        onPropertyNotify(reinterpret_cast<const xcb_property_notify_event_t&>(event));
}

void SelectionFetch::onTime(Clock::time_point now) {
    if (outcome_ == Outcome::Running && now >= deadline()) fail();
}

void SelectionFetch::supersede(Clock::time_point now) { limit_ = std::min(limit_, now + setup_.stallTimeout); }

std::size_t SelectionFetch::held() const {
    return value_.capacity() + (text_ ? text_->capacity() * sizeof(char16_t) : 0) +
           result_.capacity() * sizeof(char16_t);
}

void SelectionFetch::onNotify(const xcb_selection_notify_event_t& n) {
    // Only the answer to the request in flight counts: a late answer to an
    // earlier request, or an event that some other client made up, is not it.
    if (incremental_ || n.requestor != atoms_.window || n.selection != atoms_.clipboard || n.target != target_ ||
        n.time != setup_.time)
        return;
    if (n.property == XCB_ATOM_NONE) {
        refused();
        return;
    }
    if (n.property != setup_.property) return;
    switch (readProperty()) {
        case Read::Value:
        case Read::Empty:
            finished();
            return;
        case Read::Incr:
            incremental_ = true;  // the pieces follow, one after each delete
            deadline_ = now_ + setup_.stallTimeout;
            return;
        case Read::Refused:
            refused();
            return;
        case Read::Absent:  // the answer said it was there
        case Read::Failed:
            fail();
            return;
    }
}

void SelectionFetch::onPropertyNotify(const xcb_property_notify_event_t& n) {
    if (!incremental_ || n.window != atoms_.window || n.atom != setup_.property || n.state != XCB_PROPERTY_NEW_VALUE)
        return;
    switch (readProperty()) {
        case Read::Absent:  // a notice that no piece goes with
            return;
        case Read::Value:
            deadline_ = now_ + setup_.stallTimeout;
            return;
        case Read::Empty:  // a piece of no bytes ends the value
            incremental_ = false;
            finished();
            return;
        case Read::Incr:
        case Read::Refused:
        case Read::Failed:
            fail();
            return;
    }
}

// Reads the property whole, in chunks, and deletes it.
SelectionFetch::Read SelectionFetch::readProperty() {
    const std::uint32_t words = stage_ == Stage::Text ? kChunkWords : static_cast<std::uint32_t>(kListBytes / 4 + 1);
    std::uint32_t offset = 0;
    Read result = Read::Empty;
    for (;;) {
        auto piece = io_.getProperty(setup_.property, offset, words);
        if (!piece) return Read::Failed;
        if (piece->type == XCB_ATOM_NONE) return offset == 0 ? Read::Absent : Read::Failed;
        if (offset == 0 && !acceptFirst(*piece, result)) break;
        if (!take(*piece)) {
            result = Read::Failed;
            break;
        }
        if (!piece->bytes.empty()) result = Read::Value;
        offset += static_cast<std::uint32_t>(piece->bytes.size() / 4);
        if (piece->bytesAfter == 0 || piece->bytes.size() < 4) break;
    }
    io_.deleteProperty(setup_.property);
    return result;
}

// The most bytes the value under way may have.
std::uint64_t SelectionFetch::byteLimit() const { return stage_ == Stage::Text ? setup_.textBytes : kListBytes; }

// The rules for the first chunk of a property. False stops the read with
// `result`.
bool SelectionFetch::acceptFirst(const SelectionIo::Piece& piece, Read& result) {
    const std::uint64_t size = piece.bytes.size() + std::uint64_t{piece.bytesAfter};
    const std::uint64_t bound = byteLimit();
    if (piece.type == atoms_.incr) {
        // The marker of an INCR transfer; a text's marker holds its size.
        if (stage_ == Stage::Text && piece.bytes.size() >= 4) {
            std::uint32_t hint = 0;
            std::memcpy(&hint, piece.bytes.data(), 4);
            if (hint > bound) {
                result = Read::Failed;
                return false;
            }
            sizeHint_ = hint;
        }
        result = incremental_ ? Read::Failed : Read::Incr;
        return false;
    }
    if (valueBytes_ + size > bound) {
        result = Read::Failed;
        return false;
    }
    if (size == 0 && incremental_) return true;  // the end of the value, whatever its type
    if (valueType_ == XCB_ATOM_NONE) {
        if (stage_ == Stage::Targets && (piece.type != XCB_ATOM_ATOM || piece.format != 32)) {
            // Not a list of atoms: as if it had none (within INCR, a fault).
            result = incremental_ ? Read::Failed : Read::Refused;
            return false;
        }
        valueType_ = piece.type;
        if (stage_ == Stage::Text && !incremental_) sizeHint_ = size;
    } else if (piece.type != valueType_) {
        result = Read::Failed;  // a piece of another type than the first
        return false;
    }
    return true;
}

// One chunk of the value: a text is decoded at once, a list kept.
bool SelectionFetch::take(const SelectionIo::Piece& piece) {
    valueBytes_ += piece.bytes.size();
    // Counted as it comes too: a property that grows while it is read.
    if (valueBytes_ > byteLimit()) return false;
    if (piece.bytes.empty()) return true;
    if (stage_ != Stage::Text) {
        value_.append(piece.bytes);
        return true;
    }
    if (!text_) {
        TextDecoder::Encoding encoding = TextDecoder::Encoding::Utf8;
        if (valueType_ == XCB_ATOM_STRING) encoding = TextDecoder::Encoding::Latin1;
        if (valueType_ == atoms_.compoundText) encoding = TextDecoder::Encoding::CompoundText;
        text_.emplace(encoding, sizeHint_);
    }
    text_->feed(piece.bytes);
    return true;
}

void SelectionFetch::refused() {
    switch (stage_) {
        case Stage::Targets:
            // An owner that does not list its targets: the hint first, then
            // the text types one by one.
            targetsKnown_ = false;
            candidates_ = atoms_.direct;
            ask(Stage::Hint, atoms_.passwordHint);
            return;
        case Stage::Hint:
            // Listed but not told: keep out. Not listed and refused: there is none.
            if (targetsKnown_) {
                fail();
                return;
            }
            nextCandidate();
            return;
        case Stage::Text:
            nextCandidate();
            return;
    }
}

void SelectionFetch::nextCandidate() {
    if (candidates_.empty()) {
        fail();  // it refused every text type: it cannot be read now
        return;
    }
    const xcb_atom_t target = candidates_.front();
    candidates_.erase(candidates_.begin());
    ask(Stage::Text, target);
}

void SelectionFetch::finished() {
    switch (stage_) {
        case Stage::Targets:
            finishTargets();
            return;
        case Stage::Hint:
            finishHint();
            return;
        case Stage::Text:
            done(Outcome::Text, text_ ? text_->finish() : std::u16string());
            return;
    }
}

void SelectionFetch::finishTargets() {
    std::vector<xcb_atom_t> offered(value_.size() / 4);
    if (!offered.empty()) std::memcpy(offered.data(), value_.data(), offered.size() * 4);
    const auto has = [&](xcb_atom_t a) {
        return a != XCB_ATOM_NONE && std::find(offered.begin(), offered.end(), a) != offered.end();
    };
    targetsKnown_ = true;
    candidates_.clear();
    for (xcb_atom_t want : atoms_.textPreference)
        if (has(want)) candidates_.push_back(want);
    if (has(atoms_.passwordHint)) {
        ask(Stage::Hint, atoms_.passwordHint);
        return;
    }
    if (candidates_.empty()) {
        done(Outcome::Empty);  // no text on the clipboard
        return;
    }
    nextCandidate();
}

void SelectionFetch::finishHint() {
    if (value_ == "secret") {
        if (!setup_.secretsWanted || !setup_.secretsWanted()) {
            done(Outcome::Secret);
            return;
        }
        secret_ = true;
    }
    if (candidates_.empty() && targetsKnown_) {
        done(Outcome::Empty);
        return;
    }
    nextCandidate();
}

void SelectionFetch::fail() { done(Outcome::Failed); }

void SelectionFetch::done(Outcome outcome, std::u16string text) {
    outcome_ = outcome;
    result_ = std::move(text);
    // Whatever the value under way held goes back now.
    value_ = std::string();
    text_.reset();
    incremental_ = false;
}

}  // namespace stock::x11
