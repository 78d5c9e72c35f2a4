// The history's rows: emptied all at once, each shown on one line, each
// brought back into the edit box.
#include "core/history/history.h"

#include "core/text/text_map.h"
#include "support/main_window.h"

namespace stock::test {
namespace {

using HistoryRows = MainWindow;

// Both ways to clear: the list draws no row after it, the current clip stays,
// and the next new text is the only row.
TEST_F(HistoryRows, ClearEmptiesTheListAsDrawnAndKeepsTheCurrentClip) {
    for (const char* clear : {"Command1", "mnuCHistory"}) {
        take(u"A");
        take(u"B");
        clear == std::string("Command1") ? click(clear) : win().menuEntry(clear).click();
        tick();
        EXPECT_EQ(rows(), Rows{}) << clear;
        EXPECT_EQ(currentClip(), u"B");
        take(u"C");
        EXPECT_EQ(rows(), Rows{u"C"}) << clear;
    }
}

// The current clip, its row and the entry recalled from it hold the one
// buffer the clipboard handed over, and let it go one by one.
TEST_F(HistoryRows, ATextIsHeldOnceUntilItsLastHolderLetsGo) {
    const SharedText text(u"held once");
    clipboard.nextReads = {ClipboardText{text}, ClipboardText{text}};
    tick();
    win().listBox("List1").pick(0);
    EXPECT_EQ(text.holders(), 4) << "the test, the current clip, the row and the edit box";
    take(u"next");
    click("Command1");
    box().setText(SharedText(u"draft"));
    EXPECT_EQ(text.holders(), 1);
}

TEST_F(HistoryRows, ARowClickedPutsItsExactTextIntoTheEditBox) {
    take(u"first");
    take(u"second\r\nline");
    win().listBox("List1").pick(1);
    EXPECT_EQ(box().text(), u"first");
    win().listBox("List1").pick(0);
    EXPECT_EQ(box().text(), u"second\r\nline");
}

std::u16string marks(std::size_t n) { return std::u16string(n, u'\u0301'); }

TEST(RowPreview, MarksEveryKindOfBreakAndCutsLongTextsWhole) {
    EXPECT_EQ(rowPreview(u"a\r\nb\nc\rd\u2029e", 100), u"a\u21B5b\u21B5c\u21B5d\u21B5e");
    EXPECT_EQ(rowPreview(u"abcdef", 3), u"abc\u2026");
    // never half a surrogate pair
    EXPECT_EQ(rowPreview(u"ab\U0001F600cd", 3), u"ab\u2026");
    EXPECT_EQ(rowPreview(u"ab\U0001F600cd", 4), u"ab\U0001F600\u2026");
    // a long run of marks shows its start, as in the boxes
    EXPECT_EQ(rowPreview(u"a" + marks(100) + u"b" + marks(3), 200), u"a" + marks(kShownMarks) + u"b" + marks(3));
}

}  // namespace
}  // namespace stock::test
