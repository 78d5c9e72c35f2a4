#include "core/text/box_edit.h"

#include <algorithm>

namespace stock {

BoxEdit changedRun(std::u16string_view before, std::u16string_view after) {
    std::size_t p = 0;
    while (p < before.size() && p < after.size() && before[p] == after[p]) ++p;
    std::size_t s = 0;
    while (s < before.size() - p && s < after.size() - p &&
           before[before.size() - 1 - s] == after[after.size() - 1 - s])
        ++s;
    return {p, before.size() - s - p, after.substr(p, after.size() - s - p)};
}

ExactEdit applyBoxEdit(std::u16string_view exact, const BoxEdit& edit, char16_t shownBreak,
                       std::u16string_view typedBreak) {
    ExactEdit e;
    e.from = exactOffset(exact, edit.position);
    e.to = std::max(e.from, exactOffset(exact, edit.position + edit.removed));
    e.inserted.reserve(edit.added.size());
    for (const char16_t c : edit.added) {
        if (c == shownBreak)
            e.inserted += typedBreak;
        else
            e.inserted.push_back(c);
    }
    e.text = spliced(exact, e.from, e.to, e.inserted);
    e.reshow = reshowFor(exact, e.text, e.from, e.to, edit.position);
    return e;
}

}  // namespace stock
