#include "ui/qt/exact_text_edit.h"

#include <QCoreApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTextBlock>
#include <QTimer>
#include <algorithm>
#include <QTextCursor>
#include <QTextDocument>

#include "core/guard/guard.h"
#include "core/text/box_edit.h"
#include "ui/qt/qt_text.h"

namespace stock::qt {
namespace {
constexpr std::size_t kLargeInsert = 256 << 10;  // UTF-16 code units
constexpr std::size_t kInsertPiece = 128 << 10;
// A text longer than this fills the document by pieces, as many as go in
// within the budget each time the event loop comes by.
constexpr std::size_t kShownAtOnce = 64 << 10;
constexpr std::size_t kFillPiece = 32 << 10;
constexpr qint64 kFillBudgetMs = 8;
// Edits larger than this end the undo history instead of entering it.
constexpr std::size_t kLargestUndoStep = 8u << 20;
constexpr std::size_t kUndoSteps = 200;

int docPos(std::size_t displayPos) { return static_cast<int>(displayPos); }
}  // namespace

ExactTextEdit::ExactTextEdit(QWidget* parent) : QPlainTextEdit(parent), fillTimer_(new QTimer(this)) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab and Shift+Tab move the focus; a tab character still comes in
    // exactly by paste or recall.
    setTabChangesFocus(true);
    document()->setUndoRedoEnabled(false);  // the box keeps its own, exact history
    connect(document(), &QTextDocument::contentsChange, this, &ExactTextEdit::onContentsChange);
    fillTimer_->setInterval(0);
    connect(fillTimer_, &QTimer::timeout, this,
            [this] { callGuarded("edit box fill", std::function<void()>([this] { fillSome(); })); });
}

void ExactTextEdit::fireChanged() { callGuarded("edit box change", changed); }

void ExactTextEdit::setExactText(SharedText text) {
    if (text == exact_) return;
    exact_ = std::move(text);
    undo_.clear();
    redo_.clear();
    showExact(0);
    fireChanged();
}

void ExactTextEdit::showExact(std::size_t caret) {
    endFill();
    typedReshow_.reset();
    const std::u16string_view t = exact_.view();
    const std::u16string_view shown = isReadOnly() ? shownPart(t, displayLimit) : t;
    setToolTip(shown.size() < t.size() ? tr("Showing the first %L1 of %L2 characters").arg(shown.size()).arg(t.size())
                                       : QString());
    ShownWalk walk(shown);
    std::u16string first;
    walk.append(shown.size() <= kShownAtOnce ? shown.size() : kFillPiece, first);
    applying_ = true;
    chooseWrap(walk.longestLine(), true);
    setPlainText(toQ(first));
    applying_ = false;
    if (walk.done()) {
        placeCaret(caret);
        return;
    }
    fill_.emplace(Fill{exact_, walk, caret, textInteractionFlags()});
    setTextInteractionFlags(fill_->flags & ~Qt::TextEditable);
    fillTimer_->start();
}

void ExactTextEdit::fillSome() {
    if (!fill_) {
        endFill();
        return;
    }
    QElapsedTimer clock;
    clock.start();
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    applying_ = true;
    do {
        std::u16string piece;
        fill_->walk.append(fill_->walk.at() + kFillPiece, piece);
        if (!piece.empty()) end.insertText(toQ(piece));  // empty: a hidden part
    } while (!fill_->walk.done() && clock.elapsed() < kFillBudgetMs);
    applying_ = false;
    chooseWrap(fill_->walk.longestLine(), false);
    if (!fill_->walk.done()) return;
    const std::size_t caret = fill_->caret;
    endFill();
    placeCaret(caret);
}

void ExactTextEdit::endFill() {
    fillTimer_->stop();
    if (!fill_) return;
    setTextInteractionFlags(fill_->flags);
    fill_.reset();
}

void ExactTextEdit::placeCaret(std::size_t caret) {
    // The document starts with the caret at its start; moving it there again
    // would scroll back a view that the user scrolled meanwhile.
    if (caret == 0) return;
    QTextCursor c(document());
    c.setPosition(std::min(docPos(displayPosition(exact_.view(), caret)), document()->characterCount() - 1));
    setTextCursor(c);
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

void ExactTextEdit::replaceSelection(const SharedText& text) {
    if (applying_) return;  // a large insert is still going in
    reshowTyped();
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
    SharedText next(spliced(old, a, b, text.view()));
    if (filling()) {
        // The document is only partly there: fill it anew.
        exact_ = std::move(next);
        showExact(a + text.size());
    } else {
        const auto shownA = static_cast<std::size_t>(textCursor().selectionStart());
        const Reshow r = reshowFor(old, next.view(), a, b, shownA);
        exact_ = std::move(next);
        showEdit(r, a + text.size());
    }
    if (differs) fireChanged();
}

void ExactTextEdit::showEdit(const Reshow& r, std::size_t caret) {
    const SharedText text = exact_;  // the walk reads it while events run
    QTextCursor cursor(document());
    cursor.setPosition(docPos(r.shownFrom));
    cursor.setPosition(docPos(r.shownTo), QTextCursor::KeepAnchor);
    applying_ = true;
    cursor.removeSelectedText();
    // A text of many megabytes goes in by pieces, each converted as it goes,
    // with the window repainted between them, so that it never looks
    // frozen. Input waits until the whole text is in.
    const bool large = r.newTo - r.from > kLargeInsert;
    ShownWalk walk(text.view(), r.from);
    while (walk.at() < r.newTo) {
        if (large) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        std::u16string piece;
        walk.append(large ? std::min(walk.at() + kInsertPiece, r.newTo) : r.newTo, piece);
        chooseWrap(walk.longestLine(), false);
        cursor.insertText(toQ(piece));
    }
    if (large) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    applying_ = false;
    cursor.setPosition(docPos(r.shownFrom + shownUnits(text.view(), r.from, caret)));
    setTextCursor(cursor);
}

void ExactTextEdit::onContentsChange(int position, int removed, int added) {
    if (applying_ || isReadOnly()) return;  // a read-only box changes only through setExactText
    // An edit made in the box itself (typing, the box's own editing keys).
    const int last = document()->characterCount() - 1;
    QTextCursor c(document());
    c.setPosition(std::min(position, last));
    c.setPosition(std::min(position + added, last), QTextCursor::KeepAnchor);
    const std::u16string shown = fromQ(c.selectedText());
    const BoxEdit edit{static_cast<std::size_t>(position), static_cast<std::size_t>(removed), shown};
    // The document gives each line break as U+2029; one typed is an LF.
    ExactEdit e = applyBoxEdit(exact_.view(), edit, u'\u2029', u"\n");
    record(e.from, std::u16string(exact_.view().substr(e.from, e.to - e.from)), e.inserted, true);
    exact_ = SharedText(std::move(e.text));
    if (e.reshow.wholeLines) {
        // The document cannot be changed from inside its own change signal.
        typedReshow_ = TypedReshow{e.reshow, added - removed, e.from + e.inserted.size()};
        QTimer::singleShot(
            0, this, [this] { callGuarded("edit box reshow", std::function<void()>([this] { reshowTyped(); })); });
    } else if (displayLength(exact_.view()) != static_cast<std::size_t>(last)) {
        // The document keeps one position per character and per break; if
        // the two ever disagree, the document wins and only its line breaks
        // are lost.
        resync();
    }
    fireChanged();
}

void ExactTextEdit::reshowTyped() {
    if (!typedReshow_) return;
    TypedReshow t = *typedReshow_;
    typedReshow_.reset();
    t.reshow.shownTo = static_cast<std::size_t>(static_cast<qsizetype>(t.reshow.shownTo) + t.grown);
    showEdit(t.reshow, t.caret);
}

void ExactTextEdit::chooseWrap(std::size_t longestShownLine, bool whole) {
    if (longestShownLine > kLongestWrappedLine)
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
    const SharedText before = exact_;
    exact_ = SharedText(spliced(before.view(), at, at + length, text));
    const Reshow r = reshowFor(before.view(), exact_.view(), at, at + length, displayPosition(before.view(), at));
    showEdit(r, at + text.size());
    // The text put back stands selected.
    QTextCursor c = textCursor();
    c.setPosition(docPos(r.shownFrom + shownUnits(exact_.view(), r.from, at)), QTextCursor::KeepAnchor);
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

bool ExactTextEdit::run(EditCommand command) {
    const auto& f = commandHandler(command);
    if (!f) return false;
    callGuarded("edit box key", f);
    return true;
}

void ExactTextEdit::keyPressEvent(QKeyEvent* event) {
    std::optional<EditCommand> command;
    if (event->matches(QKeySequence::Copy))
        command = EditCommand::Copy;
    else if (event->matches(QKeySequence::Cut))
        command = EditCommand::Cut;
    else if (event->matches(QKeySequence::Paste))
        command = EditCommand::Paste;
    else if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && textCursor().hasSelection())
        command = EditCommand::Delete;
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        undoStep(event->matches(QKeySequence::Redo));
        event->accept();
        return;
    }
    if (command && (*command == EditCommand::Copy || !isReadOnly()) && run(*command)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
    reshowTyped();
}

void ExactTextEdit::inputMethodEvent(QInputMethodEvent* event) {
    QPlainTextEdit::inputMethodEvent(event);
    reshowTyped();
}

void ExactTextEdit::contextMenuEvent(QContextMenuEvent* event) {
    QPointer<QMenu> menu = createStandardContextMenu(event->pos());
    // The standard entries edit by themselves; route the four commands.
    const std::pair<const char*, EditCommand> routed[] = {{"edit-copy", EditCommand::Copy},
                                                          {"edit-cut", EditCommand::Cut},
                                                          {"edit-paste", EditCommand::Paste},
                                                          {"edit-delete", EditCommand::Delete}};
    for (QAction* action : menu->actions()) {
        const bool undo = action->objectName() == QLatin1String("edit-undo");
        if (undo || action->objectName() == QLatin1String("edit-redo")) {
            action->setEnabled(!isReadOnly() && !(undo ? undo_ : redo_).empty());
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this, undo] { undoStep(!undo); });
            continue;
        }
        for (const auto& [name, command] : routed) {
            if (action->objectName() != QLatin1String(name) || !commandHandler(command)) continue;
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
