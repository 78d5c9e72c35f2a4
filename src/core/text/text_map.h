// Exact texts and their on-screen forms. A text box shows every line break
// (CR LF, lone CR, LF, U+2029) as one paragraph break, while the text itself
// keeps the code units it came with.
//
// A box shows of a text only what it can lay out within a frame. Laying out
// one grapheme cluster takes time that grows with the square of its length,
// and a line takes time that grows with its length (unwrapped; wrapped, it
// grows faster). So a box shows of each run of code points that extend one
// cluster (combining marks and the like) its first kShownMarks, and of each
// line its first kShownLineUnits code units. The units left out are hidden:
// the exact text keeps them, and on the screen they belong to the shown unit
// before them, so selecting that unit selects them too.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace stock {

inline constexpr std::size_t kShownMarks = 32;
inline constexpr std::size_t kShownLineUnits = std::size_t{16} * 1024;

bool isBreakStart(char16_t c);

// Length in code units of the line break at text[i] (2 for CR LF), 0 if none.
std::size_t breakLength(std::u16string_view text, std::size_t i);

// The code point continues the grapheme cluster before it (Mn, Mc, Me, ZWNJ,
// ZWJ, the halfwidth sound marks, the tags and the emoji modifiers).
bool extendsCluster(char32_t c);

// Walks an exact text as a box shows it, from the start of a line (or from
// anywhere in a line that hides nothing). Each step is a line break, a code
// point or a surrogate pair; a step that starts before a given end is taken
// whole, except that a surrogate pair may be entered by half.
class ShownWalk {
public:
    explicit ShownWalk(std::u16string_view text, std::size_t from = 0) : text_(text), at_(from) {}

    std::size_t at() const { return at_; }
    bool done() const { return at_ >= text_.size(); }
    // The longest line met so far, in display units.
    std::size_t longestLine() const { return longest_ > line_ ? longest_ : line_; }

    // Appends what the box shows of the units up to `to`, each line break as
    // `breakAs`.
    void append(std::size_t to, std::u16string& out, char16_t breakAs = u'\n');
    // Steps over `units` display units and the hidden units after them;
    // returns the display units stepped over (fewer at the end of the text).
    std::size_t skip(std::size_t units);
    // Steps up to `to`; returns the display units shown on the way.
    std::size_t count(std::size_t to);
    // Steps up to `to`; true as soon as a unit on the way is hidden.
    bool hides(std::size_t to);

private:
    struct Step {
        std::size_t units = 0, shown = 0;
        bool lineBreak = false, mark = false;
    };
    Step peek() const;
    void take(const Step& s);
    // The units from at() before `to` that need no look-up: below U+0300
    // and no line break.
    std::size_t plainRun(std::size_t to) const;
    void takePlain(std::size_t units, std::size_t shown);
    std::size_t room() const { return line_ < kShownLineUnits ? kShownLineUnits - line_ : 0; }

    std::u16string_view text_;
    std::size_t at_;
    std::size_t marks_ = 0;  // code points of the current run that extend a cluster
    std::size_t line_ = 0;   // display units of the current line
    std::size_t longest_ = 0;
};

// What a box shows of a text, every line break as `breakAs`.
std::u16string toDisplay(std::u16string_view exact, char16_t breakAs = u'\n');

// What a box shows of [from, to) of a text, walking from `from`.
std::u16string shownSpan(std::u16string_view exact, std::size_t from, std::size_t to, char16_t breakAs = u'\n');

// Display units shown of [from, to) of a text, walking from `from`.
std::size_t shownUnits(std::u16string_view exact, std::size_t from, std::size_t to);

// The text with the code units [from, to) replaced by `insert`.
std::u16string spliced(std::u16string_view text, std::size_t from, std::size_t to, std::u16string_view insert);

// Number of display positions of an exact text.
std::size_t displayLength(std::u16string_view exact);

// The display position of an offset in the exact text (an offset inside a
// CR LF pair counts as after it, one among hidden units as after the shown
// unit they belong to).
std::size_t displayPosition(std::u16string_view exact, std::size_t exactOffset);

// The offset in the exact text of a display position: after the hidden units
// that belong to the unit before it. A position past the end maps to the end.
std::size_t exactOffset(std::u16string_view exact, std::size_t displayPos);

// What a box that shows at most `limit` code units (0: no limit) shows of a
// text: its start, never ending inside a CR LF or a surrogate pair.
std::u16string_view shownPart(std::u16string_view exact, std::size_t limit);

// The part of a box's display form that an edit changes: [from, oldTo) of
// the old text became [from, newTo) of the new one, and stands at
// [shownFrom, shownTo) of the old display form. Putting
// shownSpan(new, from, newTo) there gives the new text's display form.
struct Reshow {
    std::size_t from = 0, oldTo = 0, newTo = 0;
    std::size_t shownFrom = 0, shownTo = 0;
    // The edit touches a line that hides units (before or after it), so
    // those lines are shown again whole.
    bool wholeLines = false;
};

// For an edit that replaced [a, b) of `before`, whose display position is
// `shownA`, giving `after`: just the edit, or one unit more at an end where
// a CR LF or a surrogate pair may join, or whole lines when they hide units.
Reshow reshowFor(std::u16string_view before, std::u16string_view after, std::size_t a, std::size_t b,
                 std::size_t shownA);

}  // namespace stock
