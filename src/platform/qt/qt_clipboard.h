#pragma once

#include "platform/clipboard.h"

namespace stock::qt {

// The clipboard through QClipboard. A clipboard whose owner does not hand
// over its contents reads as a failure, never as an empty clipboard; so does
// one whose owner marks its text a secret (x-kde-passwordManagerHint), which
// only an explicit paste reads.
class QtClipboard final : public Clipboard {
public:
    std::optional<SharedText> readText() override;
    std::optional<SharedText> readTextToPaste() override;
    bool writeText(const SharedText& text) override;

private:
    std::optional<SharedText> read(bool secretsToo);
};

}  // namespace stock::qt
