#include "history/recall.h"

namespace stock {

void HistoryRecall::List1_Click() {
    const long row = List1.currentIndex();
    if (row < 0) return;  // no current row: the edit box keeps what it holds
    RichTextBox1.setText(List1.rowText(static_cast<std::size_t>(row)));
}

}  // namespace stock
