// Exact texts and their on-screen forms. A text box shows every line break
// (CR LF, lone CR, LF, U+2029) as one paragraph break, while the text itself
// keeps the code units it came with.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace stock {

bool isBreakStart(char16_t c);

// Length in code units of the line break at text[i] (2 for CR LF), 0 if none.
std::size_t breakLength(std::u16string_view text, std::size_t i);

// The text with every line break as one LF.
std::u16string toDisplay(std::u16string_view exact, char16_t breakAs = u'\n');

// The text with the code units [from, to) replaced by `insert`.
std::u16string spliced(std::u16string_view text, std::size_t from, std::size_t to, std::u16string_view insert);

// Number of display positions of an exact text.
std::size_t displayLength(std::u16string_view exact);

// The display position of an offset in the exact text (an offset inside a
// CR LF pair counts as after it).
std::size_t displayPosition(std::u16string_view exact, std::size_t exactOffset);

// The length in code units of the longest line of a text.
std::size_t longestLine(std::u16string_view text);

// The offset in the exact text of a display position. A position past the
// end maps to the end.
std::size_t exactOffset(std::u16string_view exact, std::size_t displayPos);

// What a box that shows at most `limit` code units (0: no limit) shows of a
// text: its start, never ending inside a CR LF or a surrogate pair.
std::u16string_view shownPart(std::u16string_view exact, std::size_t limit);

}  // namespace stock
