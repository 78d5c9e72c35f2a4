#include "history/clipboard_watcher.h"

namespace stock {

void ClipboardWatcher::Timer1_Timer() {
    try {
        // A clipboard that cannot be read abandons the tick; it is never
        // taken for an empty one.
        const auto first = clipboard_.readText();
        if (!first) return;
        if (*first == RichTextBox2.text()) return;
        const auto second = clipboard_.readText();
        if (!second) return;
        RichTextBox2.setText(*second);  // runs RichTextBox2_Change
    } catch (...) {
        // The next tick starts afresh.
    }
}

void ClipboardWatcher::RichTextBox2_Change() {
    try {
        List1.insertRow(0, RichTextBox2.text());
    } catch (...) {
        // The entry is lost; the current clip keeps the text.
    }
}

void ClipboardWatcher::Command1_Click() { List1.clear(); }

}  // namespace stock
