#include "core/history/recall.h"

namespace stock {

void HistoryRecall::List1_Click() {
    const long row = List1.ListIndex();
    if (row < 0 || static_cast<std::size_t>(row) >= List1.size()) return;  // the edit box keeps what it holds
    RichTextBox1.setText(List1.Text(static_cast<std::size_t>(row)));
}

}  // namespace stock
