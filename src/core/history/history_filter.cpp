#include "core/history/history_filter.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "core/guard/guard.h"

namespace stock {
namespace {

constexpr std::size_t kFoldCost = 4;                        // per code unit folded
constexpr std::size_t kLongPiece = std::size_t{64} * 1024;  // code units folded at a time

bool printable(const std::u16string& typed) {
    if (typed.empty()) return false;
    return std::none_of(typed.begin(), typed.end(), [](char16_t c) { return c < 0x20 || c == 0x7F; });
}

std::u16string decimal(std::size_t n) {
    std::u16string out;
    do {
        out.insert(out.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n);
    return out;
}

}  // namespace

HistoryFilter::HistoryFilter(History& history, ListBox& list, FilterField& field, Ui& ui)
    : history_(history), List1(list), field_(field), ui_(ui) {}

HistoryFilter::~HistoryFilter() {
    if (!open_) return;
    try {
        history_.showIn(nullptr);
        List1.setRows(&history_);
    } catch (...) {
        reportFailure("filter detach");  // the list is going too
    }
}

bool HistoryFilter::List1_KeyPress(const std::u16string& typed) {
    if (!printable(typed)) return false;
    if (!open_) openWith(typed);
    return true;
}

void HistoryFilter::Find() {
    if (open_) {
        field_.open(field_.text());  // the keyboard back in the field, the rows as they are
    } else {
        openWith(std::u16string());
    }
}

void HistoryFilter::Filter_Change() {
    if (!open_) return;
    const std::u16string text = field_.text();
    if (text.empty()) {
        close();
    } else {
        search(text);
    }
}

void HistoryFilter::Filter_Escape() {
    if (open_) close();
}

void HistoryFilter::openWith(const std::u16string& text) {
    current_.reset();
    // Rows added below since the last search moved every row's serial.
    if (foldedAt_ != history_.olderAdded()) folded_.clear();
    foldedAt_ = history_.olderAdded();
    const long row = history_.ListIndex();
    if (row >= 0 && static_cast<std::size_t>(row) < history_.size()) current_ = rowOf(static_cast<std::size_t>(row));
    open_ = true;
    history_.showIn(this);
    field_.open(text);
    search(text);
}

void HistoryFilter::close() {
    rememberCurrent();
    open_ = false;
    clearSearch();
    todo_.clear();
    query_.clear();
    history_.showIn(nullptr);
    List1.setRows(&history_);
    if (current_ && *current_ < history_.size()) List1.setCurrentIndex(static_cast<long>(rowOf(*current_)));
    field_.close();
}

// Forgets the search under way and what it found; a slice already
// scheduled finds its token gone.
void HistoryFilter::clearSearch() {
    token_.reset();
    scheduled_ = false;
    long_.reset();
    longTodo_.clear();
    next_ = 0;
    matches_.clear();
    shownCount_ = 0;
}

void HistoryFilter::search(const std::u16string& text) {
    rememberCurrent();
    std::u16string query = foldText(text);
    // A query that holds the last one can only match rows that matched it,
    // or that were not looked at yet.
    const bool narrower = query.find(query_) != std::u16string::npos;
    std::vector<std::size_t> todo;
    if (narrower && !query_.empty()) {
        todo = matches_;
        if (long_) todo.push_back(long_->serial);
        todo.insert(todo.end(), longTodo_.begin(), longTodo_.end());
        todo.insert(todo.end(), todo_.begin() + static_cast<std::ptrdiff_t>(next_), todo_.end());
    } else {
        todo.resize(history_.size());
        for (std::size_t i = 0; i < todo.size(); ++i) todo[i] = todo.size() - 1 - i;
    }
    clearSearch();
    query_ = std::move(query);
    todo_ = std::move(todo);
    token_ = std::make_shared<int>(0);
    slice();
    publish(true);
    scheduleSlice();
}

void HistoryFilter::scheduleSlice() {
    if (!searching() || scheduled_) return;
    scheduled_ = true;
    std::weak_ptr<int> token = token_;
    ui_.runSoon([this, token] {
        if (token.expired()) return;
        scheduled_ = false;
        callGuarded("filter slice", std::function<void()>([this] {
                        slice();
                        publish(false);
                        scheduleSlice();
                    }));
    });
}

void HistoryFilter::slice() {
    std::size_t work = 0;
    while (work < kSliceWork) {
        if (long_) {
            const auto found = searchLong(work);
            if (!found) continue;
            if (*found) addMatch(long_->serial);
            long_.reset();
        } else if (next_ < todo_.size()) {
            const std::size_t serial = todo_[next_++];
            const Match m = matches(serial, work);
            if (m == Match::Yes) addMatch(serial);
            if (m == Match::Long) longTodo_.push_back(serial);
        } else if (!longTodo_.empty()) {
            // Long rows wait until every short one has been looked at.
            const std::size_t serial = longTodo_.front();
            longTodo_.erase(longTodo_.begin());
            SharedText text = history_.Text(rowOf(serial));
            long_.emplace(LongSearch{serial, text, Folder(text.view()), {}});
        } else {
            break;
        }
    }
}

HistoryFilter::Match HistoryFilter::matches(std::size_t serial, std::size_t& work) {
    if (query_.empty()) return ++work, Match::Yes;
    const std::u16string_view text = history_.view(rowOf(serial));
    if (folded_.size() < history_.size()) folded_.resize(history_.size());
    FoldedRow& row = folded_[serial];
    if (row.state == FoldedRow::Unknown) {
        if (text.size() > kFoldedLimit) {
            row.state = FoldedRow::TooLong;
        } else {
            std::u16string folded = foldText(text);
            work += text.size() * kFoldCost;
            // Most texts fold to themselves and keep nothing of their own.
            row.state = folded == text ? FoldedRow::Itself : FoldedRow::Own;
            if (row.state == FoldedRow::Own) row.own = std::move(folded);
        }
    }
    if (row.state == FoldedRow::TooLong) return Match::Long;
    const std::u16string_view folded = row.state == FoldedRow::Own ? std::u16string_view(row.own) : text;
    work += folded.size() + 1;
    return containsFolded(folded, query_) ? Match::Yes : Match::No;
}

// One piece of a long row: a match (true), none in the whole text (false),
// or not known yet.
std::optional<bool> HistoryFilter::searchLong(std::size_t& work) {
    LongSearch& s = *long_;
    if (query_.empty()) return true;
    const std::size_t keep = std::min(s.window.size(), query_.size() - 1);
    s.window.erase(0, s.window.size() - keep);
    const std::size_t before = s.folder.position();
    const bool more = s.folder.next(kLongPiece, s.window);
    work += (s.folder.position() - before) * kFoldCost + s.window.size();
    if (containsFolded(s.window, query_)) return true;
    if (!more) return false;
    return std::nullopt;
}

void HistoryFilter::addMatch(std::size_t serial) {
    const auto at = std::lower_bound(matches_.begin(), matches_.end(), serial, std::greater<>());
    const auto index = static_cast<std::size_t>(at - matches_.begin());
    matches_.insert(at, serial);
    // Rows above what the list was told of are told now; those after it
    // join the list together at the end of the slice.
    if (index < shownCount_) {
        ++shownCount_;
        List1.rowInserted(index);
    }
}

void HistoryFilter::publish(bool reset) {
    if (reset) {
        shownCount_ = matches_.size();
        List1.setRows(this);
    } else if (matches_.size() > shownCount_) {
        const std::size_t added = matches_.size() - shownCount_;
        shownCount_ = matches_.size();
        List1.rowsAppended(added);
    }
    const auto at = current_ ? std::find(matches_.begin(), matches_.end(), *current_) : matches_.end();
    if (reset && at != matches_.end()) List1.setCurrentIndex(static_cast<long>(at - matches_.begin()));
    std::u16string count = decimal(matches_.size()) + u" / " + decimal(history_.size());
    if (searching()) count += u" \u2026";
    field_.setCount(count);
}

void HistoryFilter::rememberCurrent() {
    if (!open_) return;
    const long shown = List1.currentIndex();
    if (shown >= 0 && static_cast<std::size_t>(shown) < shownCount_)
        current_ = matches_[static_cast<std::size_t>(shown)];
}

void HistoryFilter::rowAdded() {
    const std::size_t serial = history_.size() - 1;
    std::size_t work = 0;
    const Match m = matches(serial, work);
    if (m == Match::Yes) addMatch(serial);
    if (m == Match::Long) {
        longTodo_.insert(longTodo_.begin(), serial);
        scheduleSlice();
    }
    publish(false);
}

void HistoryFilter::rowsCleared() {
    folded_.clear();
    current_.reset();
    close();
}

long HistoryFilter::historyRow(long shownRow) const {
    if (shownRow < 0 || static_cast<std::size_t>(shownRow) >= shownCount_) return -1;
    return static_cast<long>(rowOf(matches_[static_cast<std::size_t>(shownRow)]));
}

std::u16string HistoryFilter::shown(std::size_t row) const {
    if (row >= shownCount_) return {};
    return history_.shown(rowOf(matches_[row]));
}

}  // namespace stock
