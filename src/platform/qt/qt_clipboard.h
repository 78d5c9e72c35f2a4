#pragma once

#include "platform/clipboard.h"

namespace stock::qt {

// The clipboard through QClipboard. A clipboard whose owner does not hand
// over its contents reads as a failure, never as an empty clipboard.
class QtClipboard final : public Clipboard {
public:
    std::optional<SharedText> readText() override;
    bool writeText(const SharedText& text) override;
};

}  // namespace stock::qt
