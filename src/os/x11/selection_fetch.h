// One fetch of the CLIPBOARD selection's text: TARGETS, the password
// manager's hint, then the text types in order of preference. The X calls are
// made through SelectionIo, so that this logic can meet any order of replies,
// late, forged or hostile, without an X server.
//
// What an owner can do to the fetch is bounded:
// - a reply counts only when it answers the request in flight (selection,
//   target, property and time); anything else is ignored;
// - TARGETS that is not a list of 32-bit atoms is taken for a refusal; after
//   a refusal the hint is still asked for before any text;
// - TARGETS and the hint hold at most kListBytes, a text at most kTextBytes
//   bytes, or fewer as set up (beyond either the fetch fails and lets go of
//   what it held);
// - the pieces of an INCR transfer keep the first piece's type.
#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/x11/text_assembly.h"

namespace stock::x11 {

// The atoms a fetch needs, interned once by the reader.
struct SelectionAtoms {
    xcb_window_t window = XCB_NONE;  // the requestor: the reader's own window
    xcb_atom_t clipboard = XCB_ATOM_NONE, targets = XCB_ATOM_NONE, incr = XCB_ATOM_NONE;
    xcb_atom_t passwordHint = XCB_ATOM_NONE, compoundText = XCB_ATOM_NONE;
    std::vector<xcb_atom_t> textPreference;  // the text targets, best first
    std::vector<xcb_atom_t> direct;          // asked for in turn when TARGETS is refused
};

// What a fetch asks of the X connection.
class SelectionIo {
public:
    virtual ~SelectionIo() = default;
    virtual void convert(xcb_atom_t target, xcb_atom_t property, xcb_timestamp_t time) = 0;
    // Part of a property of the requestor's window.
    struct Piece {
        xcb_atom_t type = XCB_ATOM_NONE;  // NONE: the property is not there
        std::uint8_t format = 0;
        std::uint32_t bytesAfter = 0;  // what follows the part read
        std::string_view bytes;
        std::shared_ptr<const void> keep;  // owns `bytes`
    };
    // At most `words` 32-bit units from `offsetWords` on; nullopt when the
    // request itself failed.
    virtual std::optional<Piece> getProperty(xcb_atom_t property, std::uint32_t offsetWords, std::uint32_t words) = 0;
    virtual void deleteProperty(xcb_atom_t property) = 0;
};

class SelectionFetch {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kListBytes = std::size_t{16} << 10;
    static constexpr std::uint64_t kTextBytes = std::uint64_t{256} << 20;

    enum class Outcome { Running, Text, Empty, Secret, Failed };

    struct Setup {
        xcb_atom_t property = XCB_ATOM_NONE;  // where the owner puts its answers
        xcb_timestamp_t time = XCB_CURRENT_TIME;
        Clock::duration stallTimeout = std::chrono::seconds(1);
        Clock::duration limit = std::chrono::seconds(60);  // however steadily it progresses
        std::uint64_t textBytes = kTextBytes;
        // Asked when the owner marks its text a secret: fetch it anyway (for
        // a paste), or stop there.
        std::function<bool()> secretsWanted;
    };

    SelectionFetch(const SelectionAtoms& atoms, SelectionIo& io, Setup setup);

    void start(Clock::time_point now);
    // A SelectionNotify or PropertyNotify; other events are ignored.
    void onEvent(const xcb_generic_event_t& event, Clock::time_point now);
    // Fails a fetch that made no progress for the stall timeout, or ran out
    // of its time.
    void onTime(Clock::time_point now);
    // A newer owner took the selection: finish within one more stall timeout.
    void supersede(Clock::time_point now);

    Outcome outcome() const { return outcome_; }
    // With Outcome::Text: whether the owner marks it a secret (fetched for a paste).
    bool secret() const { return secret_; }
    std::u16string takeText() { return std::move(result_); }
    Clock::time_point deadline() const { return std::min(deadline_, limit_); }
    // Bytes held for the value under way, text included (UTF-16 units count two).
    std::size_t held() const;

private:
    enum class Stage { Targets, Hint, Text };
    // What reading the property found: a value, one of no bytes, no property,
    // the marker of an INCR transfer, a TARGETS that is no list, or a fault.
    enum class Read { Value, Empty, Absent, Incr, Refused, Failed };

    void ask(Stage stage, xcb_atom_t target);
    void onNotify(const xcb_selection_notify_event_t& n);
    void onPropertyNotify(const xcb_property_notify_event_t& n);
    Read readProperty();
    bool acceptFirst(const SelectionIo::Piece& piece, Read& result);
    bool take(const SelectionIo::Piece& piece);
    std::uint64_t byteLimit() const;
    void refused();
    void nextCandidate();
    void finished();
    void finishTargets();
    void finishHint();
    void fail();
    void done(Outcome outcome, std::u16string text = {});

    const SelectionAtoms& atoms_;
    SelectionIo& io_;
    Setup setup_;
    Outcome outcome_ = Outcome::Running;
    Stage stage_ = Stage::Targets;
    xcb_atom_t target_ = XCB_ATOM_NONE;
    bool incremental_ = false;   // INCR: the value arrives in pieces
    bool targetsKnown_ = false;  // the owner listed its targets
    bool secret_ = false;
    std::vector<xcb_atom_t> candidates_;  // text targets still to try
    std::string value_;                   // TARGETS or the hint, as it arrives
    xcb_atom_t valueType_ = XCB_ATOM_NONE;
    std::uint64_t valueBytes_ = 0;
    std::optional<std::uint64_t> sizeHint_;  // the text's byte count, as the owner gives it
    std::optional<TextAssembly> text_;
    std::u16string result_;
    Clock::time_point now_{};
    Clock::time_point deadline_{};
    Clock::time_point limit_{};
};

}  // namespace stock::x11
