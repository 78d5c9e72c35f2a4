// Reads the CLIPBOARD selection's text on a thread and X connection of its
// own, so that the UI thread never waits for a clipboard owner.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/ports/clipboard.h"
#include "core/text/shared_text.h"

namespace stock::x11 {

class ClipboardReader {
public:
    struct Options {
        // Resource ids of the program's own toolkit connection (its
        // resource-id base and mask): an owner window from that range is the
        // program itself. A mask of 0 means no own connection.
        std::uint32_t ownIdBase = 0;
        std::uint32_t ownIdMask = 0;
        // A fetch that makes no progress for this long has failed.
        std::chrono::milliseconds stallTimeout{1000};
        // A text of more bytes than this fails to fetch ("cannot read now").
        std::uint64_t textLimit = std::uint64_t{256} << 20;
    };

    // Connects to the display named by DISPLAY. When that fails the reader is
    // not usable() and every read answers "cannot read now".
    explicit ClipboardReader(Options options);
    ClipboardReader();
    ~ClipboardReader();
    ClipboardReader(const ClipboardReader&) = delete;
    ClipboardReader& operator=(const ClipboardReader&) = delete;

    bool usable() const;

    // The clipboard's text as last fetched: "" when it holds no text (or no
    // one owns it). A new owner's text is fetched as soon as it takes the
    // clipboard; until it is here a read answers the text fetched before it
    // if no read has answered that one yet (so that a clipboard that keeps
    // changing is still read), and otherwise nullopt (busy), as it does after
    // a failed fetch (a read then starts a retry) and while the owner marks
    // its text a secret. Never waits for the X server. The text shares the
    // reader's buffer: no copy.
    std::optional<SharedText> readText();
    // As readText(), but a secret reads as one (its text unread), not busy.
    std::optional<ClipboardText> read();

    // The text for a paste the user asked for: as readText(), but a text
    // that is not fetched yet is waited for, and one that its owner marks a
    // secret is fetched too (for this answer only; it is never kept). Waits
    // on the calling thread at most the stall timeout.
    std::optional<SharedText> readTextToPaste();

    // The program is about to take the clipboard with `text` through its own
    // toolkit; the next reads answer `text` at once, and the owner change
    // that follows is not fetched. The reader keeps `text`'s own buffer.
    void ownWriteBegun(const SharedText& text);
    // That write did not take the clipboard.
    void ownWriteFailed();

    // Changes whenever the text that readText() answers may change.
    std::uint64_t changeCount() const;

    // Changes with every owner change and own write the reader has seen.
    std::uint64_t generation() const;

    // Text transfers finished so far.
    std::uint64_t transfers() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace stock::x11
