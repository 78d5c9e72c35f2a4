// Edits that a text box makes by itself (typing, its own editing keys),
// carried over to the exact text it keeps beside what it shows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/text/text_map.h"

namespace stock {

// An edit as a box reports it, in its display form: at `position`,
// `removed` display units gave way to `added`.
struct BoxEdit {
    std::size_t position = 0, removed = 0;
    std::u16string_view added;
};

// The run in which a box's display form changed from `before` to `after`:
// what lies before and after it is the same in both.
BoxEdit changedRun(std::u16string_view before, std::u16string_view after);

// A box's edit carried over to the exact text: [from, to) of it became
// `inserted`, giving `text`; `reshow` is what of the box's display form to
// show again.
struct ExactEdit {
    std::u16string text;
    std::size_t from = 0, to = 0;
    std::u16string inserted;
    Reshow reshow;
};

// Carries `edit` over to `exact`. The box shows every line break as
// `shownBreak`; a break it adds comes into the exact text as `typedBreak`.
ExactEdit applyBoxEdit(std::u16string_view exact, const BoxEdit& edit, char16_t shownBreak,
                       std::u16string_view typedBreak);

}  // namespace stock
