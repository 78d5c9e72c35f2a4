#include "platform/qt/exact_text_edit.h"

#include <QCoreApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTextBlock>
#include <algorithm>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/guard.h"
#include "platform/qt/qt_text.h"
#include "platform/text_map.h"

namespace stock::qt {
namespace {
constexpr qsizetype kLargeInsert = 256 << 10;  // UTF-16 code units
constexpr qsizetype kInsertPiece = 128 << 10;
// Edits larger than this end the undo history instead of entering it.
constexpr std::size_t kLargestUndoStep = 8u << 20;
constexpr std::size_t kUndoSteps = 200;
}  // namespace

ExactTextEdit::ExactTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab and Shift+Tab move the focus; a tab character still comes in
    // exactly by paste or recall.
    setTabChangesFocus(true);
    document()->setUndoRedoEnabled(false);  // the box keeps its own, exact history
    connect(document(), &QTextDocument::contentsChange, this, &ExactTextEdit::onContentsChange);
}

void ExactTextEdit::fireChanged() { callGuarded(changed); }

void ExactTextEdit::setExactText(SharedText text) {
    if (text == exact_) return;
    exact_ = std::move(text);
    undo_.clear();
    redo_.clear();
    const std::u16string_view t = exact_.view();
    applying_ = true;
    const std::u16string_view shown = isReadOnly() ? shownPart(t, displayLimit) : t;
    chooseWrap(shown, true);
    setPlainText(toQ(toDisplay(shown)));
    setToolTip(shown.size() < t.size() ? tr("Showing the first %L1 of %L2 characters").arg(shown.size()).arg(t.size())
                                       : QString());
    applying_ = false;
    fireChanged();
}

std::size_t ExactTextEdit::selectionStart() const {
    return exactOffset(exact_.view(), static_cast<std::size_t>(textCursor().selectionStart()));
}

std::size_t ExactTextEdit::selectionEnd() const {
    return exactOffset(exact_.view(), static_cast<std::size_t>(textCursor().selectionEnd()));
}

SharedText ExactTextEdit::selectedExactText() const {
    const auto a = selectionStart();
    const auto b = selectionEnd();
    if (a == 0 && b == exact_.size()) return exact_;  // all of it: the same buffer
    return SharedText(exact_.view().substr(a, b - a));
}

namespace {
// The end of the next piece of `text` from `at` that goes in at once: about
// `size` code units, never splitting a CR LF pair or a surrogate pair.
std::size_t pieceEnd(std::u16string_view text, std::size_t at, std::size_t size) {
    std::size_t end = std::min(text.size(), at + size);
    if (end < text.size() && end > at + 1) {
        const char16_t last = text[end - 1];
        if ((last == u'\r' && text[end] == u'\n') || (last >= 0xD800 && last <= 0xDBFF)) --end;
    }
    return end;
}
}  // namespace

void ExactTextEdit::replaceSelection(const SharedText& text) {
    if (applying_) return;  // a large insert is still going in
    const auto a = selectionStart();
    const auto b = selectionEnd();
    const std::u16string_view old = exact_.view();
    const bool differs = old.substr(a, b - a) != text.view();
    if (differs) {
        if ((b - a) + text.size() > kLargestUndoStep)
            forgetHistory();
        else
            record(a, std::u16string(old.substr(a, b - a)), text.str(), false);
    }
    exact_ = SharedText(spliced(old, a, b, text.view()));
    const std::u16string_view in = text.view();
    QTextCursor cursor = textCursor();
    applying_ = true;
    if (in.size() <= static_cast<std::size_t>(kLargeInsert)) {
        chooseWrap(in, false);
        cursor.insertText(toQ(toDisplay(in)));
    } else {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        // A text of many megabytes goes in by pieces, each converted as it
        // goes, with the window repainted between them, so that it never
        // looks frozen. Input waits until the whole text is in.
        for (std::size_t at = 0; at < in.size();) {
            const std::size_t end = pieceEnd(in, at, static_cast<std::size_t>(kInsertPiece));
            chooseWrap(in.substr(at, end - at), false);
            cursor.insertText(toQ(toDisplay(in.substr(at, end - at))));
            at = end;
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    }
    applying_ = false;
    setTextCursor(cursor);
    if (differs) fireChanged();
}

void ExactTextEdit::onContentsChange(int position, int removed, int added) {
    if (applying_ || isReadOnly()) return;  // a read-only box changes only through setExactText
    // An edit made in the box itself (typing, the box's own editing keys).
    const std::u16string_view old = exact_.view();
    const auto pos = static_cast<std::size_t>(position);
    const std::size_t a = exactOffset(old, pos);
    const std::size_t b = exactOffset(old, pos + static_cast<std::size_t>(removed));
    const int last = document()->characterCount() - 1;
    QTextCursor c(document());
    c.setPosition(std::min(position, last));
    c.setPosition(std::min(position + added, last), QTextCursor::KeepAnchor);
    QString inserted = c.selectedText();
    inserted.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    std::u16string typed = fromQ(inserted);
    record(a, std::u16string(old.substr(a, b - a)), typed, true);
    exact_ = SharedText(spliced(old, a, b, typed));
    // The document keeps one position per character and per break; if the two
    // ever disagree, the document wins and only its line breaks are lost.
    if (displayLength(exact_.view()) != static_cast<std::size_t>(document()->characterCount() - 1)) resync();
    fireChanged();
}

void ExactTextEdit::chooseWrap(std::u16string_view text, bool whole) {
    const bool longLine = longestLine(text) > kLongestWrappedLine;
    if (longLine)
        setLineWrapMode(QPlainTextEdit::NoWrap);
    else if (whole)
        setLineWrapMode(wrapsShortLines ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void ExactTextEdit::forgetHistory() {
    undo_.clear();
    redo_.clear();
}

void ExactTextEdit::record(std::size_t at, std::u16string removed, std::u16string inserted, bool typed) {
    redo_.clear();
    if (removed.size() + inserted.size() > kLargestUndoStep) {
        undo_.clear();
        return;
    }
    if (typed && !undo_.empty()) {
        Edit& last = undo_.back();
        const bool word = inserted.size() == 1 && inserted[0] != u' ' && inserted[0] != u'\n';
        if (last.typed && word && removed.empty() && last.removed.empty() && last.at + last.inserted.size() == at) {
            last.inserted += inserted;
            return;
        }
    }
    if (undo_.size() == kUndoSteps) undo_.erase(undo_.begin());
    undo_.push_back({at, std::move(removed), std::move(inserted), typed});
}

void ExactTextEdit::replaceExact(std::size_t at, std::size_t length, const std::u16string& text) {
    const int from = static_cast<int>(displayPosition(exact_.view(), at));
    const int to = static_cast<int>(displayPosition(exact_.view(), at + length));
    exact_ = SharedText(spliced(exact_.view(), at, at + length, text));
    applying_ = true;
    QTextCursor c(document());
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    c.insertText(toQ(toDisplay(text)));
    c.setPosition(from, QTextCursor::KeepAnchor);
    applying_ = false;
    setTextCursor(c);
}

void ExactTextEdit::undoStep(bool redo) {
    auto& from = redo ? redo_ : undo_;
    auto& to = redo ? undo_ : redo_;
    if (from.empty() || isReadOnly()) return;
    Edit e = std::move(from.back());
    from.pop_back();
    if (redo)
        replaceExact(e.at, e.removed.size(), e.inserted);
    else
        replaceExact(e.at, e.inserted.size(), e.removed);
    e.typed = false;
    to.push_back(std::move(e));
    fireChanged();
}

bool ExactTextEdit::run(int command) {
    const auto& f = commands[static_cast<std::size_t>(command)];
    if (!f) return false;
    callGuarded(f);
    return true;
}

namespace {
enum { kCopy, kCut, kPaste, kDelete };
}

void ExactTextEdit::keyPressEvent(QKeyEvent* event) {
    int command = -1;
    if (event->matches(QKeySequence::Copy))
        command = kCopy;
    else if (event->matches(QKeySequence::Cut))
        command = kCut;
    else if (event->matches(QKeySequence::Paste))
        command = kPaste;
    else if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && textCursor().hasSelection())
        command = kDelete;
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        undoStep(event->matches(QKeySequence::Redo));
        event->accept();
        return;
    }
    if (command >= 0 && (command == kCopy || !isReadOnly()) && run(command)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ExactTextEdit::contextMenuEvent(QContextMenuEvent* event) {
    QPointer<QMenu> menu = createStandardContextMenu(event->pos());
    // The standard entries edit by themselves; route the four commands.
    const std::pair<const char*, int> routed[] = {
        {"edit-copy", kCopy}, {"edit-cut", kCut}, {"edit-paste", kPaste}, {"edit-delete", kDelete}};
    for (QAction* action : menu->actions()) {
        const bool undo = action->objectName() == QLatin1String("edit-undo");
        if (undo || action->objectName() == QLatin1String("edit-redo")) {
            action->setEnabled(!isReadOnly() && !(undo ? undo_ : redo_).empty());
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this, undo] { undoStep(!undo); });
            continue;
        }
        for (const auto& [name, command] : routed) {
            if (action->objectName() != QLatin1String(name) || !commands[static_cast<std::size_t>(command)]) continue;
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this, c = command] { run(c); });
        }
    }
    menu->exec(event->globalPos());
    if (menu) menu->deleteLater();
}

QMimeData* ExactTextEdit::createMimeDataFromSelection() const {
    auto* mime = new QMimeData;
    mime->setText(toQ(selectedExactText().view()));
    return mime;
}

void ExactTextEdit::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly() || !source || !source->hasText()) return;
    replaceSelection(SharedText(fromQ(source->text())));
}

void ExactTextEdit::resync() {
    QString plain = toPlainText();
    plain.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    exact_ = SharedText(fromQ(plain));
    undo_.clear();
    redo_.clear();
}

}  // namespace stock::qt
