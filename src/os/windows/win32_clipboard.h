#pragma once

#include <windows.h>

#include "core/ports/clipboard.h"

namespace stock::win32 {

// The clipboard's CF_UNICODETEXT. The sequence number tells a change without
// a read; a clipboard held open by another program is tried again briefly,
// then the read answers "busy". A text whose owner asks monitors to leave it
// alone (ExcludeClipboardContentFromMonitorProcessing, or
// CanIncludeInClipboardHistory = 0) reads as a secret, its text unread; only
// readTextToPaste() reads a secret's text.
class Win32Clipboard final : public Clipboard {
public:
    explicit Win32Clipboard(HWND owner = nullptr) : owner_(owner) {}
    void setOwner(HWND owner) { owner_ = owner; }

    std::optional<ClipboardText> readText() override;
    std::optional<SharedText> readTextToPaste() override;
    bool writeText(const SharedText& text) override;
    std::optional<std::uint64_t> changeCount() override;

private:
    std::optional<ClipboardText> read(bool secretsToo);
    HWND owner_;
};

}  // namespace stock::win32
