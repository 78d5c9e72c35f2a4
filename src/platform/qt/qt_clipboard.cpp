#include "platform/qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <xcb/xcb.h>

#include <cstdlib>

#include "platform/qt/qt_text.h"

namespace stock::qt {
namespace {

// True when some client owns the CLIPBOARD selection (X11 only; elsewhere
// the answer is "unknown", taken as owned).
bool selectionOwned() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return true;
    xcb_connection_t* c = x11->connection();
    static xcb_atom_t clipboardAtom = [c] {
        auto cookie = xcb_intern_atom(c, 0, 9, "CLIPBOARD");
        xcb_atom_t a = XCB_ATOM_NONE;
        if (auto* r = xcb_intern_atom_reply(c, cookie, nullptr)) {
            a = r->atom;
            std::free(r);
        }
        return a;
    }();
    auto* r = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboardAtom), nullptr);
    if (!r) return true;
    const bool owned = r->owner != XCB_NONE;
    std::free(r);
    return owned;
}

}  // namespace

std::optional<ClipboardText> QtClipboard::readText() { return read(false); }

std::optional<SharedText> QtClipboard::readTextToPaste() { return textOf(read(true)); }

std::optional<ClipboardText> QtClipboard::read(bool secretsToo) {
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb) return std::nullopt;
    const QMimeData* data = cb->mimeData(QClipboard::Clipboard);
    if (!data) return std::nullopt;
    if (data->formats().isEmpty()) {
        // Nothing came back: either nobody owns the clipboard (empty) or the
        // owner did not answer in time (a failed read).
        if (selectionOwned()) return std::nullopt;
        return ClipboardText{};
    }
    if (!secretsToo && data->data(QStringLiteral("x-kde-passwordManagerHint")) == "secret")
        return ClipboardText{SharedText(), true};
    if (!data->hasText()) return ClipboardText{};
    return ClipboardText{SharedText(fromQ(data->text()))};
}

bool QtClipboard::writeText(const SharedText& text) {
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb) return false;
    cb->setText(toQ(text.str()), QClipboard::Clipboard);
    return cb->ownsClipboard();
}

}  // namespace stock::qt
