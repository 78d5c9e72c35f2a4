#include "core/text/text_map.h"

#include <gtest/gtest.h>

#include <random>

namespace stock {
namespace {

TEST(TextMap, EveryLineBreakShowsAsOneParagraph) {
    const std::u16string exact = u"a\r\nb\rc\nd\u2029e\r\r\nf";
    EXPECT_EQ(toDisplay(exact), u"a\nb\nc\nd\ne\n\nf");
    EXPECT_EQ(displayLength(exact), toDisplay(exact).size());
    // display position -> exact offset, across each kind of break
    EXPECT_EQ(exactOffset(exact, 2), 3u);    // after CR LF
    EXPECT_EQ(exactOffset(exact, 11), 13u);  // CR, then CR LF
    EXPECT_EQ(exactOffset(exact, 999), exact.size());
}

std::u16string marks(std::size_t n) { return std::u16string(n, u'\u0301'); }

// A box shows the first kShownMarks of a run of marks (a base character ends
// the run) and the first kShownLineUnits of a line, never half a pair; what
// it hides goes with the last unit shown, and the next line shows.
TEST(TextMap, RunsOfMarksAndLongLinesShowTheirStartAndTheRestGoesWithTheLastUnitShown) {
    const std::u16string zalgo = u"a" + marks(65535) + u"b" + marks(3);
    EXPECT_EQ(toDisplay(zalgo), u"a" + marks(kShownMarks) + u"b" + marks(3));
    EXPECT_EQ(exactOffset(zalgo, kShownMarks + 1), 65536u) << "after the last mark shown and the hidden ones";
    const std::u16string x(kShownLineUnits - 1, u'x'), line = x + u"\U0001F600z\r\ny";
    EXPECT_TRUE(toDisplay(line) == x + u"\ny");  // compared whole, not printed: the texts are long
    EXPECT_EQ(exactOffset(line, kShownLineUnits - 1), kShownLineUnits + 2) << "at the line's break";
}

// Random texts of every kind of unit: the display positions and the exact
// offsets map onto each other, and an edit shown again by reshowFor gives
// the new text's display form, only the edit itself when nothing is hidden.
TEST(TextMap, DisplayPositionsMapBackAndEditsReshowToTheNewDisplayForm) {
    const std::u16string pieces[] = {u"a",      u"\r",     u"\n",         u"\r\n",
                                     u"\u2029", marks(5),  marks(30),     u"\U0001D167",
                                     u"\xD83D", u"\xDE00", u"\U0001F600", std::u16string(kShownLineUnits / 2, u'x')};
    std::mt19937 rng(7);
    auto text = [&] {
        std::u16string t;
        for (auto n = rng() % 12; n > 0; --n) t += pieces[rng() % std::size(pieces)];
        return t;
    };
    for (int round = 0; round < 400; ++round) {
        const std::u16string before = text(), shown = toDisplay(before);
        ASSERT_EQ(displayLength(before), shown.size());
        for (std::size_t p = 0; p <= shown.size(); p += 1 + shown.size() / 50)
            ASSERT_EQ(displayPosition(before, exactOffset(before, p)), p) << round;
        std::size_t a = rng() % (before.size() + 1), b = rng() % (before.size() + 1);
        if (a > b) std::swap(a, b);
        const std::u16string after = spliced(before, a, b, text());
        const Reshow r = reshowFor(before, after, a, b, displayPosition(before, a));
        ASSERT_TRUE(spliced(shown, r.shownFrom, r.shownTo, shownSpan(after, r.from, r.newTo)) == toDisplay(after))
            << "round " << round << ": [" << a << ", " << b << ") of " << before.size() << " units";
        EXPECT_TRUE(r.wholeLines || r.newTo - r.from <= after.size() - before.size() + (b - a) + 2) << round;
    }
}

}  // namespace
}  // namespace stock
