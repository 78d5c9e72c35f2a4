#include "core/editing/edit_commands.h"

namespace stock {

// A clipboard that cannot be written or read leaves the box and the
// clipboard as they were; the user gets a beep, never a dialog.

void EditCommands::Command2_Click() {
    if (RichTextBox1.selLength() == 0) return;
    if (!clipboard_.writeText(RichTextBox1.selText())) ui_.beep();
}

void EditCommands::Command4_Click() {
    if (RichTextBox1.selLength() == 0) return;
    if (!clipboard_.writeText(RichTextBox1.selText())) {
        ui_.beep();
        return;  // nothing is removed that is not on the clipboard
    }
    RichTextBox1.setSelText(SharedText());
}

void EditCommands::Command5_Click() {
    if (RichTextBox1.selLength() == 0) return;
    RichTextBox1.setSelText(SharedText());
}

void EditCommands::Command3_Click() {
    const auto text = clipboard_.readTextToPaste();
    if (!text) {
        ui_.beep();
        return;
    }
    RichTextBox1.setSelText(*text);
}

}  // namespace stock
