#include "core/history/history.h"

#include "core/guard/guard.h"

#include <iterator>
#include <utility>

#include "core/text/text_map.h"

namespace stock {

History::History(ListBox& list) : List1(list) { List1.setRows(this); }

History::~History() {
    try {
        List1.setRows(nullptr);
    } catch (...) {
        reportFailure("List1 detach");  // the list is going too
    }
}

void History::AddItem(SharedText text) {
    rows_.push_front(std::move(text));
    try {
        if (view_) {
            view_->rowAdded();
        } else {
            List1.rowInserted(0);
        }
    } catch (...) {
        rows_.pop_front();  // a row the list never showed is not kept
        throw;
    }
    if (store_) store_->append(rows_.front());
}

void History::Clear() {
    rows_.clear();
    loaded_.clear();
    if (store_) store_->clear();
    if (view_) {
        view_->rowsCleared();
    } else {
        List1.rowsCleared();
    }
}

void History::syncStore() {
    if (!store_) return;
    HistoryStore::News news = store_->poll();
    if (news.wantsAll) store_->appendAll(std::vector<SharedText>(rows_.rbegin(), rows_.rend()));
    if (loaded_.empty()) loaded_ = std::move(news.loaded);
    // A narrowed list counts its rows from the bottom: the older ones wait
    // until every row is shown again.
    if (loaded_.empty() || view_) return;
    const std::size_t count = loaded_.size();
    rows_.insert(rows_.end(), std::make_move_iterator(loaded_.begin()), std::make_move_iterator(loaded_.end()));
    loaded_.clear();
    ++olderAdded_;
    try {
        List1.rowsAppended(count);
    } catch (...) {
        rows_.erase(rows_.end() - static_cast<std::ptrdiff_t>(count), rows_.end());
        throw;
    }
}

long History::ListIndex() const {
    const long shown = List1.currentIndex();
    return view_ && shown >= 0 ? view_->historyRow(shown) : shown;
}

SharedText History::Text(std::size_t row) const { return row < rows_.size() ? rows_[row] : SharedText(); }

std::u16string History::shown(std::size_t row) const {
    return row < rows_.size() ? rowPreview(rows_[row].view(), kPreviewUnits) : std::u16string();
}

std::u16string rowPreview(std::u16string_view exact, std::size_t limit) {
    std::u16string out;
    std::size_t i = 0;
    std::size_t marks = 0;  // of the current run that extends a cluster
    for (; i < exact.size() && i < limit;) {
        const std::size_t n = breakLength(exact, i);
        if (n) {
            out.push_back(kBreakMark);
            i += n;
            marks = 0;
            continue;
        }
        const char16_t c = exact[i];
        const bool highSurrogate = c >= 0xD800 && c <= 0xDBFF;
        if (highSurrogate && i + 1 < exact.size() && i + 1 >= limit) break;
        const bool pair = highSurrogate && i + 1 < exact.size() && exact[i + 1] >= 0xDC00 && exact[i + 1] <= 0xDFFF;
        const char32_t code = pair ? 0x10000 + ((char32_t{c} - 0xD800) << 10) + (char32_t{exact[i + 1]} - 0xDC00) : c;
        const std::size_t units = pair ? 2 : 1;
        // A long run of marks shows its start, as in the text boxes.
        marks = extendsCluster(code) ? marks + 1 : 0;
        if (marks <= kShownMarks) out.append(exact.substr(i, units));
        i += units;
    }
    if (i < exact.size()) out.push_back(u'\u2026');
    return out;
}

}  // namespace stock
