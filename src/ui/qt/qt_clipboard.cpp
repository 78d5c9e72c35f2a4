#include "ui/qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "os/x11/x11_hints.h"
#include "ui/qt/qt_text.h"

namespace stock::qt {
namespace {

// True when some client owns the CLIPBOARD selection (X11 only; elsewhere
// the answer is "unknown", taken as owned).
bool selectionOwned() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return !x11 || x11::clipboardOwned(x11->connection());
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
