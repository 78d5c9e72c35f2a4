#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/history/history.h"
#include "core/ports/controls.h"
#include "core/text/fold.h"

namespace stock {

// Narrows the history list to the rows whose whole text contains what the
// user types into the filter field, ignoring case and the width of ASCII and
// katakana. The rows are searched newest first in slices of bounded work:
// the first slice runs at once, the rest from the event loop, and their
// matches join the list as they are found.
class HistoryFilter final : public ListRows, private HistoryView {
public:
    // A text of at most this many code units is folded once and the folded
    // form kept (never longer than the text); longer texts are folded piece
    // by piece at each search and keep nothing.
    static constexpr std::size_t kFoldedLimit = 4096;
    // Work of one slice, in code units searched; folding one counts as 4.
    static constexpr std::size_t kSliceWork = std::size_t{2} << 20;

    HistoryFilter(History& history, ListBox& list, FilterField& field, Ui& ui);
    ~HistoryFilter();
    HistoryFilter(const HistoryFilter&) = delete;
    HistoryFilter& operator=(const HistoryFilter&) = delete;

    // Text typed into the list: a printable one opens the field holding it,
    // or goes nowhere while the field is open. Answers whether it was taken.
    bool List1_KeyPress(const std::u16string& typed);
    // Ctrl+F: opens the field, or gives it the keyboard again.
    void Find();
    void Filter_Change();
    void Filter_Escape();

    std::size_t size() const override { return shownCount_; }
    std::u16string shown(std::size_t row) const override;

private:
    struct LongSearch {
        std::size_t serial;
        SharedText text;
        Folder folder;
        std::u16string window;
    };

    void rowAdded() override;
    void rowsCleared() override;
    long historyRow(long shownRow) const override;

    bool searching() const { return next_ < todo_.size() || long_ || !longTodo_.empty(); }
    // Rows are counted from the top, serials from the oldest row.
    std::size_t rowOf(std::size_t serial) const { return history_.size() - 1 - serial; }
    void clearSearch();
    void openWith(const std::u16string& text);
    void close();
    void search(const std::u16string& text);
    void slice();
    void scheduleSlice();
    enum class Match { No, Yes, Long };
    Match matches(std::size_t serial, std::size_t& work);
    std::optional<bool> searchLong(std::size_t& work);
    void addMatch(std::size_t serial);
    void publish(bool reset);
    void rememberCurrent();

    History& history_;
    ListBox& List1;
    FilterField& field_;
    Ui& ui_;
    bool open_ = false;
    std::u16string query_;               // folded
    std::vector<std::size_t> matches_;   // serials (0: the oldest row), newest first
    std::size_t shownCount_ = 0;         // of matches_, those the list has been told of
    std::vector<std::size_t> todo_;      // serials still to look at, newest first
    std::size_t next_ = 0;               // into todo_
    std::vector<std::size_t> longTodo_;  // long rows, searched after the rest
    std::optional<LongSearch> long_;
    // A row's text as it is searched, once it was looked at.
    struct FoldedRow {
        std::u16string own;
        enum : unsigned char { Unknown, Itself, Own, TooLong } state = Unknown;
    };
    std::vector<FoldedRow> folded_;       // by serial
    std::size_t foldedAt_ = 0;            // the history's olderAdded() when folded_ was started
    std::optional<std::size_t> current_;  // serial of the current row
    std::shared_ptr<int> token_;          // a scheduled slice runs only while its token lives
    bool scheduled_ = false;
};

}  // namespace stock
