#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "core/text/shared_text.h"

namespace stock {

// What one read of the clipboard found.
struct ClipboardText {
    SharedText text;  // empty when the clipboard holds no text
    // Its owner marks it never to be recorded (what marks a secret is the
    // platform's to say); the text is then left unread and empty.
    bool secret = false;
};

// The text that a read found; nullopt for a read that failed.
inline std::optional<SharedText> textOf(std::optional<ClipboardText> read) {
    if (!read) return std::nullopt;
    return std::move(read->text);
}

// The clipboard's plain text.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // The clipboard's text; nullopt when it cannot be read now (held open,
    // owner not answering, transfer failed). A failed read never looks like
    // an empty clipboard.
    virtual std::optional<ClipboardText> readText() = 0;
    // The clipboard's text for a paste the user asked for: unlike
    // readText(), a secret's text too, and it may wait briefly for the text.
    virtual std::optional<SharedText> readTextToPaste() = 0;
    // Puts the text on the clipboard; false when that failed.
    virtual bool writeText(const SharedText& text) = 0;
    // A number that changes whenever the clipboard's text may have changed;
    // while it stays the same, readText() answers the same text. nullopt
    // when the clipboard cannot tell.
    virtual std::optional<std::uint64_t> changeCount() { return std::nullopt; }
};

}  // namespace stock
