#pragma once

#include <QMetaObject>
#include <memory>

#include "core/ports/clipboard.h"
#include "ui/qt/qt_clipboard.h"

namespace stock::x11 {
class ClipboardReader;
}

namespace stock::qt {

// The desktop's clipboard. On X11, reads come from a reader with its own X
// connection and thread, which keeps the last text until the owner changes,
// so a read never waits for the X server or a clipboard owner; writes go
// through QClipboard and are noted with the reader, so the next read sees
// them at once. Given a native clipboard (a Wayland session's), reads and
// writes go through that one instead, and Qt serves only the paste of a copy
// that Qt made itself (a text field's copy key). Without either it is the
// plain QtClipboard.
class DesktopClipboard final : public Clipboard {
public:
    explicit DesktopClipboard(Clipboard* native = nullptr);
    ~DesktopClipboard() override;

    std::optional<ClipboardText> readText() override;
    std::optional<SharedText> readTextToPaste() override;
    bool writeText(const SharedText& text) override;
    std::optional<std::uint64_t> changeCount() override;

    // The X11 reader, when there is one (for tests and measurements).
    x11::ClipboardReader* reader() const { return reader_.get(); }

private:
    QtClipboard qt_;
    Clipboard* native_ = nullptr;
    std::unique_ptr<x11::ClipboardReader> reader_;
    // Qt changed the clipboard by itself (a text field's own copy key, or
    // another program taking it) since the program's own last write.
    bool changedByQt_ = true;
    bool writing_ = false;
    QMetaObject::Connection watch_;
};

}  // namespace stock::qt
