#pragma once

#include "core/history/history.h"
#include "core/ports/controls.h"

namespace stock {

// Brings the current history row back into the edit box.
class HistoryRecall {
public:
    HistoryRecall(const History& history, TextBox& editBox) : List1(history), RichTextBox1(editBox) {}
    void List1_Click();

private:
    const History& List1;
    TextBox& RichTextBox1;
};

}  // namespace stock
