#pragma once

#include <QMetaObject>
#include <memory>

#include "core/ports/clipboard.h"
#include "ui/qt/qt_clipboard.h"

namespace stock::x11 {
class ClipboardReader;
}

namespace stock::qt {

// The clipboard on X11: reads come from a reader with its own X connection
// and thread, which keeps the last text until the owner changes, so a read
// never waits for the X server or a clipboard owner; writes go through
// QClipboard and are noted with the reader, so the next read sees them at
// once. Without X11 it is the plain QtClipboard.
class X11Clipboard final : public Clipboard {
public:
    X11Clipboard();
    ~X11Clipboard() override;

    std::optional<ClipboardText> readText() override;
    std::optional<SharedText> readTextToPaste() override;
    bool writeText(const SharedText& text) override;
    std::optional<std::uint64_t> changeCount() override;

    // The X11 reader, when there is one (for tests and measurements).
    x11::ClipboardReader* reader() const { return reader_.get(); }

private:
    QtClipboard qt_;
    std::unique_ptr<x11::ClipboardReader> reader_;
    // Qt changed the clipboard by itself (a text field's own copy key, or
    // another program taking it) since the program's own last write.
    bool changedByQt_ = true;
    bool writing_ = false;
    QMetaObject::Connection watch_;
};

}  // namespace stock::qt
