#pragma once

#include "platform/controls.h"

namespace stock {

// Brings the current history row back into the edit box.
class HistoryRecall {
public:
    HistoryRecall(ListBox& history, TextBox& editBox) : List1(history), RichTextBox1(editBox) {}
    void List1_Click();

private:
    ListBox& List1;
    TextBox& RichTextBox1;
};

}  // namespace stock
