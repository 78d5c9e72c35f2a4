#include "ui/qt/x11_clipboard.h"

#include "core/guard/guard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "os/x11/x11_clipboard_reader.h"
#include "os/x11/x11_hints.h"

namespace stock::qt {

X11Clipboard::X11Clipboard() {
    if (QClipboard* cb = QGuiApplication::clipboard())
        watch_ = QObject::connect(cb, &QClipboard::changed, [this](QClipboard::Mode mode) {
            if (mode == QClipboard::Clipboard && !writing_) changedByQt_ = true;
        });
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return;
    // Windows made by Qt's own connection carry its resource-id base: when
    // one of them takes the clipboard, the program did.
    const x11::IdRange own = x11::ownIds(x11->connection());
    x11::ClipboardReader::Options options;
    options.ownIdBase = own.base;
    options.ownIdMask = own.mask;
    try {
        auto reader = std::make_unique<x11::ClipboardReader>(options);
        if (reader->usable()) reader_ = std::move(reader);
    } catch (...) {
        reportFailure("clipboard reader start");  // QClipboard serves
    }
}

X11Clipboard::~X11Clipboard() { QObject::disconnect(watch_); }

std::optional<ClipboardText> X11Clipboard::readText() {
    if (!reader_) return qt_.readText();
    return reader_->read();
}

std::optional<SharedText> X11Clipboard::readTextToPaste() {
    if (!reader_) return qt_.readTextToPaste();
    // Qt answers for its own clipboard without the X server; asking the
    // reader would wait for this very thread to answer the request. The
    // reader knows the program's own last write at once (and shares its
    // buffer), but learns of a copy that Qt made by itself only a moment
    // later.
    if (QGuiApplication::clipboard()->ownsClipboard()) {
        if (!changedByQt_)
            if (auto text = reader_->readText()) return text;
        return qt_.readTextToPaste();
    }
    return reader_->readTextToPaste();
}

std::optional<std::uint64_t> X11Clipboard::changeCount() {
    if (!reader_ || !reader_->usable()) return std::nullopt;
    return reader_->changeCount();
}

bool X11Clipboard::writeText(const SharedText& text) {
    if (!reader_) return qt_.writeText(text);
    reader_->ownWriteBegun(text);
    bool ok = false;
    writing_ = true;
    try {
        ok = qt_.writeText(text);
    } catch (...) {
        reportFailure("clipboard write");
        ok = false;
    }
    writing_ = false;
    if (ok) changedByQt_ = false;
    if (!ok) reader_->ownWriteFailed();
    return ok;
}

}  // namespace stock::qt
