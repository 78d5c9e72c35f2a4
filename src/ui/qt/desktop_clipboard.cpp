#include "ui/qt/desktop_clipboard.h"

#include "core/guard/guard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "os/x11/x11_clipboard_reader.h"
#include "os/x11/x11_hints.h"

namespace stock::qt {
namespace {

bool qtOwns() {
    const QClipboard* cb = QGuiApplication::clipboard();
    return cb && cb->ownsClipboard();
}

}  // namespace

DesktopClipboard::DesktopClipboard(Clipboard* native) : native_(native) {
    // A native clipboard needs neither the watch nor the X11 reader.
    if (native_) return;
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

DesktopClipboard::~DesktopClipboard() { QObject::disconnect(watch_); }

std::optional<ClipboardText> DesktopClipboard::readText() {
    if (native_) return native_->readText();
    if (!reader_) return qt_.readText();
    return reader_->read();
}

std::optional<SharedText> DesktopClipboard::readTextToPaste() {
    // Qt's own copy: the native clipboard would fetch it from this very
    // thread, through the compositor's bridge to X11.
    if (native_) return qtOwns() ? qt_.readTextToPaste() : native_->readTextToPaste();
    if (!reader_) return qt_.readTextToPaste();
    // Qt answers for its own clipboard without the X server; asking the
    // reader would wait for this very thread to answer the request. The
    // reader knows the program's own last write at once (and shares its
    // buffer), but learns of a copy that Qt made by itself only a moment
    // later.
    if (qtOwns()) {
        if (!changedByQt_)
            if (auto text = reader_->readText()) return text;
        return qt_.readTextToPaste();
    }
    return reader_->readTextToPaste();
}

std::optional<std::uint64_t> DesktopClipboard::changeCount() {
    if (native_) return native_->changeCount();
    if (!reader_ || !reader_->usable()) return std::nullopt;
    return reader_->changeCount();
}

bool DesktopClipboard::writeText(const SharedText& text) {
    if (native_) return native_->writeText(text);
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
