#pragma once

#include "core/ports/clipboard.h"

namespace stock::qt {

// The clipboard through QClipboard. A clipboard whose owner does not hand
// over its contents reads as a failure, never as an empty clipboard. A text
// whose owner marks it with x-kde-passwordManagerHint "secret" reads as a
// secret, and only an explicit paste reads its text.
class QtClipboard final : public Clipboard {
public:
    std::optional<ClipboardText> readText() override;
    std::optional<SharedText> readTextToPaste() override;
    bool writeText(const SharedText& text) override;

private:
    std::optional<ClipboardText> read(bool secretsToo);
};

}  // namespace stock::qt
