#include <gtest/gtest.h>

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

TEST(TextMap, RowPreviewMarksBreaksAndCutsLongTextsWhole) {
    EXPECT_EQ(rowPreview(u"a\r\nb\nc", 100), u"a\u21B5b\u21B5c");
    EXPECT_EQ(rowPreview(u"abcdef", 3), u"abc\u2026");
    // never half a surrogate pair
    EXPECT_EQ(rowPreview(u"ab\U0001F600cd", 3), u"ab\u2026");
    EXPECT_EQ(rowPreview(u"ab\U0001F600cd", 4), u"ab\U0001F600\u2026");
}

TEST(Twips, EdgesRoundOnTheirOwnSoTouchingControlsStillTouch) {
    EXPECT_EQ(twipsToPixels(7225, 15.0), 482) << "to the nearest pixel, not truncated";
    const PixelRect a = twipsToPixels(0, 5160, 1320, 255, 12.0);     // Cut
    const PixelRect b = twipsToPixels(1320, 5160, 1215, 255, 12.0);  // Copy
    EXPECT_EQ(a.x + a.w, b.x);
}

}  // namespace
}  // namespace stock
