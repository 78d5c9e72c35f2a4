#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/shared_text.h"

namespace stock {

// The clipboard's plain text.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // The clipboard's text; an empty string when it holds no text; nullopt
    // when it cannot be read now (held open, owner not answering, transfer
    // failed). A failed read never looks like an empty clipboard.
    virtual std::optional<SharedText> readText() = 0;
    // The clipboard's text for a paste the user asked for. Unlike
    // readText(), it may answer a text that is never to be recorded (one its
    // owner marks a secret), and it may wait briefly for the text.
    virtual std::optional<SharedText> readTextToPaste() { return readText(); }
    // Puts the text on the clipboard; false when that failed.
    virtual bool writeText(const SharedText& text) = 0;
    // A number that changes whenever the clipboard's text may have changed;
    // while it stays the same, readText() answers the same text. nullopt
    // when the clipboard cannot tell.
    virtual std::optional<std::uint64_t> changeCount() { return std::nullopt; }
};

}  // namespace stock
