#pragma once

#include <QPlainTextEdit>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/controls.h"
#include "core/text/shared_text.h"
#include "core/text/text_map.h"

class QTimer;

namespace stock::qt {

// A plain text box that hands back exactly the text it was given. The
// document shows each line break as a paragraph; the exact text is kept
// beside it and follows every edit, so CR LF, lone CR and U+2029 survive.
// The document holds the text's display form (see text_map.h): what it
// hides stays in the exact text. A large text fills the document by slices
// from the event loop, so that it never stalls the window; the exact text is
// whole at once, and the box takes no typing until the document is full.
class ExactTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ExactTextEdit(QWidget* parent = nullptr);

    const SharedText& exactText() const { return exact_; }
    // Keeps the shared text itself; edits make a new one.
    void setExactText(SharedText text);

    // Selection as code units of exactText().
    std::size_t selectionStart() const;
    std::size_t selectionEnd() const;
    SharedText selectedExactText() const;
    void replaceSelection(const SharedText& text);
    // The document is still filling.
    bool filling() const { return fill_.has_value(); }

    std::function<void()> changed;
    // A read-only box may show only the start of a very large text, so that
    // taking it never stalls the window; 0 shows every text whole.
    std::size_t displayLimit = 0;
    // Wrapping a line of many thousand characters costs time that grows
    // faster than its length: a text with such a line is shown unwrapped.
    static constexpr std::size_t kLongestWrappedLine = 8192;
    bool wrapsShortLines = true;
    // When set, the box's own keys and context menu run the handler of an
    // editing command instead of editing by themselves.
    std::function<void()>& commandHandler(EditCommand command) { return commands_[static_cast<std::size_t>(command)]; }
    const std::function<void()>& commandHandler(EditCommand command) const {
        return commands_[static_cast<std::size_t>(command)];
    }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Copies and drags hand out the exact text; pastes and drops put in
    // exactly what they bring.
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // One step of the box's own undo history, in exact code units: the
    // document's history only knows paragraphs and would turn CR LF into LF.
    struct Edit {
        std::size_t at = 0;
        std::u16string removed, inserted;
        bool typed = false;  // typing merges into one step
    };
    void record(std::size_t at, std::u16string removed, std::u16string inserted, bool typed);
    void undoStep(bool redo);
    void forgetHistory();
    // Wraps lines unless the document shows a line too long to wrap; `whole`:
    // the document shows nothing else.
    void chooseWrap(std::size_t longestShownLine, bool whole);
    // Replaces `length` exact code units at `at` in the text and the document.
    void replaceExact(std::size_t at, std::size_t length, const std::u16string& text);

    // Shows the exact text anew, the caret at exact offset `caret`: at once
    // when it is small, else by slices (fillSome) from the event loop.
    void showExact(std::size_t caret);
    void fillSome();
    void endFill();
    void placeCaret(std::size_t caret);
    // Puts the display form of an edit of the exact text into the document
    // (by pieces when it is large) and the caret at exact offset `caret`.
    void showEdit(const Reshow& r, std::size_t caret);
    // An edit typed into a line that hides units: that line is shown again
    // once the event that typed it is done.
    void reshowTyped();

    bool run(EditCommand command);
    void onContentsChange(int position, int removed, int added);
    void resync();
    void fireChanged();

    SharedText exact_;
    std::array<std::function<void()>, static_cast<std::size_t>(EditCommand::Delete) + 1> commands_;
    bool applying_ = false;
    std::vector<Edit> undo_, redo_;

    struct Fill {
        SharedText text;  // holds the buffer that `walk` reads
        ShownWalk walk;
        std::size_t caret = 0;
        Qt::TextInteractionFlags flags;  // the box's own, given back at the end
    };
    std::optional<Fill> fill_;
    QTimer* fillTimer_;
    struct TypedReshow {
        Reshow reshow;    // in the display form before the typed edit
        qsizetype grown;  // display units the typed edit added
        std::size_t caret;
    };
    std::optional<TypedReshow> typedReshow_;
};

}  // namespace stock::qt
