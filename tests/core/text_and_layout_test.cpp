#include <gtest/gtest.h>

#include <random>

#include "history/history.h"
#include "platform/layout.h"
#include "platform/text_map.h"

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

std::u16string marks(std::size_t n, char16_t mark = u'\u0301') { return std::u16string(n, mark); }

TEST(TextMap, ClusterMarksAreTheCodePointsThatExtendACluster) {
    for (const char32_t c : {0x0301u, 0x0489u, 0x093Fu, 0x200Cu, 0x200Du, 0x20E3u, 0x3099u, 0xFE0Fu, 0xFF9Fu, 0x1D167u,
                             0x1F3FBu, 0xE0041u, 0xE0100u})
        EXPECT_TRUE(extendsCluster(c)) << std::hex << static_cast<unsigned>(c);
    for (const char32_t c : {0x0041u, 0x02FFu, 0x0370u, 0x0915u, 0x200Bu, 0x3042u, 0xFE10u, 0x1F600u, 0x10FFFFu})
        EXPECT_FALSE(extendsCluster(c)) << std::hex << static_cast<unsigned>(c);
}

// A box shows the first kShownMarks of a run of marks; the rest stay in the
// exact text and go with the last mark shown.
TEST(TextMap, ARunOfMarksShowsItsStartAndTheRestGoesWithItsLastShownMark) {
    const std::u16string zalgo = u"a" + marks(65535) + u"b";
    EXPECT_EQ(toDisplay(zalgo), u"a" + marks(kShownMarks) + u"b");
    EXPECT_EQ(displayLength(zalgo), kShownMarks + 2);
    EXPECT_EQ(exactOffset(zalgo, kShownMarks), kShownMarks) << "before the last shown mark";
    EXPECT_EQ(exactOffset(zalgo, kShownMarks + 1), 65536u) << "after it and the hidden marks";
    EXPECT_EQ(displayPosition(zalgo, 1000), kShownMarks + 1) << "a hidden mark stands with the last shown one";
    EXPECT_EQ(displayPosition(zalgo, 65537), kShownMarks + 2);
    // Each run counts on its own: a base character or a line break ends it,
    // and CR LF stays one break.
    const std::u16string runs = u"a" + marks(40) + u"\r\n" + marks(40) + u"b" + marks(3);
    EXPECT_EQ(toDisplay(runs), u"a" + marks(32) + u"\n" + marks(32) + u"b" + marks(3));
    // Marks beyond the Basic Multilingual Plane go whole or not at all, as do
    // variation selectors and emoji modifiers.
    std::u16string pairs = u"x";
    for (int i = 0; i < 40; ++i) pairs += u"\U0001D167";
    EXPECT_EQ(toDisplay(pairs).size(), 1 + 2 * kShownMarks);
    EXPECT_EQ(exactOffset(pairs, 1 + 2 * kShownMarks), pairs.size());
    EXPECT_EQ(toDisplay(u"\U0001F44D" + marks(40, u'\uFE0F')), u"\U0001F44D" + marks(32, u'\uFE0F'));
}

// Of a line, a box shows its first kShownLineUnits code units, never half a
// pair; the rest goes with the last unit shown, and the next line shows.
TEST(TextMap, ALongLineShowsItsStartAndTheNextLineShowsWhole) {
    const std::u16string line = std::u16string(kShownLineUnits + 10, u'x') + u"\r\ny";
    // (compared whole, not printed: the texts are long)
    EXPECT_TRUE(toDisplay(line) == std::u16string(kShownLineUnits, u'x') + u"\ny");
    EXPECT_EQ(exactOffset(line, kShownLineUnits), kShownLineUnits + 10) << "at the line's break";
    EXPECT_EQ(exactOffset(line, kShownLineUnits + 1), kShownLineUnits + 12);
    const std::u16string pair = std::u16string(kShownLineUnits - 1, u'x') + u"\U0001F600z\u2029w";
    EXPECT_TRUE(toDisplay(pair) == std::u16string(kShownLineUnits - 1, u'x') + u"\nw");
    EXPECT_TRUE(toDisplay(pair, u'\r') == std::u16string(kShownLineUnits - 1, u'x') + u"\rw");
}

// Random texts of every kind of unit: the display positions and the exact
// offsets map onto each other, and an edit shown again by reshowFor gives
// the new text's display form, only the edit itself when nothing is hidden.
TEST(TextMap, DisplayPositionsMapBackAndEditsReshowToTheNewDisplayForm) {
    const std::u16string pieces[] = {u"a",
                                     u"\r",
                                     u"\n",
                                     u"\r\n",
                                     u"\u2029",
                                     marks(5),
                                     marks(30),
                                     u"\U0001D167",
                                     u"\U0001F600",
                                     std::u16string(1, char16_t{0xD83D}),
                                     std::u16string(1, char16_t{0xDE00}),
                                     std::u16string(kShownLineUnits / 2, u'x')};
    std::mt19937 rng(7);
    auto text = [&] {
        std::u16string t;
        for (auto n = rng() % 12; n > 0; --n) t += pieces[rng() % std::size(pieces)];
        return t;
    };
    for (int round = 0; round < 400; ++round) {
        const std::u16string before = text();
        const std::u16string shown = toDisplay(before);
        ASSERT_EQ(displayLength(before), shown.size());
        for (std::size_t p = 0; p <= shown.size(); p += 1 + shown.size() / 50)
            ASSERT_EQ(displayPosition(before, exactOffset(before, p)), p) << round;
        std::size_t a = rng() % (before.size() + 1), b = rng() % (before.size() + 1);
        if (a > b) std::swap(a, b);
        const std::u16string after = spliced(before, a, b, text());
        const Reshow r = reshowFor(before, after, a, b, displayPosition(before, a));
        ASSERT_TRUE(spliced(shown, r.shownFrom, r.shownTo, shownSpan(after, r.from, r.newTo)) == toDisplay(after))
            << "round " << round << ": [" << a << ", " << b << ") of " << before.size() << " units";
        if (!r.wholeLines) {
            EXPECT_LE(r.newTo - r.from, after.size() - before.size() + (b - a) + 2);
        }
    }
}

TEST(TextMap, RowPreviewMarksBreaksAndCutsLongTextsWhole) {
    EXPECT_EQ(rowPreview(u"a\r\nb\nc", 100), u"a\u21B5b\u21B5c");
    EXPECT_EQ(rowPreview(u"abcdef", 3), u"abc\u2026");
    // never half a surrogate pair
    EXPECT_EQ(rowPreview(u"ab\U0001F600cd", 3), u"ab\u2026");
    EXPECT_EQ(rowPreview(u"ab\U0001F600cd", 4), u"ab\U0001F600\u2026");
    // a long run of marks shows its start, as in the boxes
    EXPECT_EQ(rowPreview(u"a" + marks(100) + u"b" + marks(3), 200), u"a" + marks(kShownMarks) + u"b" + marks(3));
    EXPECT_EQ(rowPreview(u"a" + marks(65535), 1024), u"a" + marks(kShownMarks) + u"\u2026");
}

TEST(Twips, EdgesRoundOnTheirOwnSoTouchingControlsStillTouch) {
    EXPECT_EQ(twipsToPixels(7225, 15.0), 482) << "to the nearest pixel, not truncated";
    const PixelRect a = twipsToPixels(0, 5160, 1320, 255, 12.0);     // Cut
    const PixelRect b = twipsToPixels(1320, 5160, 1215, 255, 12.0);  // Copy
    EXPECT_EQ(a.x + a.w, b.x);
}

}  // namespace
}  // namespace stock
