#include "core/history/clipboard_watcher.h"

#include "core/guard/guard.h"

namespace stock {

void ClipboardWatcher::Timer1_Timer() {
    try {
        List1.syncStore();
    } catch (...) {
        reportFailure("syncStore");  // the clipboard is read all the same
    }
    try {
        const auto count = clipboard_.changeCount();
        if (count && equalAt_ == count) return;  // nothing changed on either side
        // A clipboard that cannot be read abandons the tick; it is never
        // taken for an empty one.
        const auto first = clipboard_.readText();
        if (!first || first->secret) return;
        if (first->text == RichTextBox2.text()) {
            equalAt_ = count;
            return;
        }
        auto second = clipboard_.readText();
        if (!second || second->secret) return;
        RichTextBox2.setText(std::move(second->text));  // runs RichTextBox2_Change
    } catch (...) {
        reportFailure("Timer1_Timer");  // the next tick starts afresh
    }
}

void ClipboardWatcher::RichTextBox2_Change() {
    equalAt_.reset();
    try {
        // The clipboard still holding the newest row kept by an earlier run
        // makes it the current clip again, not a second row.
        const bool kept = !recorded_ && List1.size() > 0 && List1.view(0) == RichTextBox2.text().view();
        recorded_ = true;
        if (kept) return;
        List1.AddItem(RichTextBox2.text());
    } catch (...) {
        reportFailure("RichTextBox2_Change");  // the current clip keeps the text
    }
}

void ClipboardWatcher::Command1_Click() { List1.Clear(); }

}  // namespace stock
