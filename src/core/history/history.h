#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/controls.h"
#include "core/ports/history_store.h"
#include "core/text/shared_text.h"

namespace stock {

// A narrower view of the history that the list shows instead of every row.
class HistoryView {
public:
    virtual void rowAdded() = 0;  // a new top row
    virtual void rowsCleared() = 0;
    // The history row that a shown row stands for, -1 for none.
    virtual long historyRow(long shownRow) const = 0;

protected:
    ~HistoryView() = default;
};

// The history: every text exactly as it came, newest first, each held once
// and shared with whoever else holds it. The list shows each row on one line.
class History final : public ListRows {
public:
    // Longest part of a text that its row shows.
    static constexpr std::size_t kPreviewUnits = 1024;

    explicit History(ListBox& list);
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // A new top row.
    void AddItem(SharedText text);
    void Clear();
    // The exact text of a row; an empty one for a row that is not there.
    SharedText Text(std::size_t row) const;
    // The same without taking a share: valid while the row stays.
    std::u16string_view view(std::size_t row) const {
        return row < rows_.size() ? rows_[row].view() : std::u16string_view();
    }
    // The row the user made current, -1 when there is none.
    long ListIndex() const;
    // From now on the list shows `view` (nullptr: every row, as it does at first).
    void showIn(HistoryView* view) { view_ = view; }

    // From now on every row added or cleared is kept in `store` too.
    void keepIn(HistoryStore* store) { store_ = store; }
    // Once a second: takes the rows that the store loaded (below every row
    // of this run, once no narrower view is shown) and answers what it asks.
    void syncStore();
    // How many times older rows were added below: each time the rows'
    // places counted from the bottom change.
    std::size_t olderAdded() const { return olderAdded_; }

    std::size_t size() const override { return rows_.size(); }
    std::u16string shown(std::size_t row) const override;

private:
    ListBox& List1;
    std::deque<SharedText> rows_;
    HistoryView* view_ = nullptr;
    HistoryStore* store_ = nullptr;
    std::vector<SharedText> loaded_;  // newest first, until the list can show them
    std::size_t olderAdded_ = 0;
};

// One row of a list for a text of any size: each line break shown as a mark,
// at most `limit` code units of the text (never half a surrogate pair), with
// an ellipsis when cut; of a long run of combining marks only its first
// kShownMarks, as in the text boxes.
std::u16string rowPreview(std::u16string_view exact, std::size_t limit);

inline constexpr char16_t kBreakMark = u'\u21B5';  // ↵

}  // namespace stock
