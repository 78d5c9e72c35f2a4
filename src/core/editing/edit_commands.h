#pragma once

#include "core/ports/clipboard.h"
#include "core/ports/controls.h"

namespace stock {

// Copy, Paste, Cut and Delete between the edit box and the clipboard. Each
// acts on the selection the box holds now, focused or not, and moves no focus.
class EditCommands {
public:
    EditCommands(Clipboard& clipboard, TextBox& editBox, Ui& ui)
        : clipboard_(clipboard), RichTextBox1(editBox), ui_(ui) {}

    void Command2_Click();  // Copy
    void Command3_Click();  // Paste
    void Command4_Click();  // Cut
    void Command5_Click();  // Delete

private:
    Clipboard& clipboard_;
    TextBox& RichTextBox1;
    Ui& ui_;
};

}  // namespace stock
