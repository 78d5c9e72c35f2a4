#include <gtest/gtest.h>

#include "doubles/fakes.h"
#include "history/clipboard_watcher.h"
#include "history/history.h"

namespace stock::test {
namespace {

struct Watcher : ::testing::Test {
    Log log;
    FakeClipboard clipboard{log};
    FakeTextBox box{"RichTextBox2", log};
    FakeListBox list{"List1", log};
    History history{list};
    ClipboardWatcher watcher{clipboard, box, history};

    Watcher() {
        box.onChange([this] { watcher.RichTextBox2_Change(); });
    }
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) watcher.Timer1_Timer();
    }
    std::vector<std::u16string> rows() const {
        std::vector<std::u16string> out;
        for (std::size_t i = 0; i < history.size(); ++i) out.push_back(history.Text(i).str());
        EXPECT_EQ(list.shown, out.size()) << "the list is told of every row";
        return out;
    }
};

// Each text in turn on the clipboard for three ticks: the rows each change adds.
struct Sequence : Watcher, ::testing::WithParamInterface<std::vector<std::u16string>> {};

TEST_P(Sequence, EachChangeOfTheExactTextAddsOneTopRow) {
    const auto& texts = GetParam();
    for (const auto& t : texts) {
        clipboard.text = t;
        tick(3);
        EXPECT_EQ(box.text(), t);
    }
    std::vector<std::u16string> expected(texts.rbegin(), texts.rend());
    if (texts.front().empty()) expected.pop_back();  // an empty clipboard at start adds nothing
    EXPECT_EQ(rows(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Watcher, Sequence,
    ::testing::Values(std::vector<std::u16string>{u"abc", u"ABC", u"ABC "},  // exact and case-sensitive
                      std::vector<std::u16string>{u"A", u"B", u"A"},         // coming back after another
                      std::vector<std::u16string>{u"line 1\r\nline 2\rline 3\nline 4\u2029\t tab \U0001F600 "},
                      std::vector<std::u16string>{u""},          // empty at start
                      std::vector<std::u16string>{u"A", u""}));  // emptied: one empty row

TEST_F(Watcher, SameTextForManyTicksIsTakenOnce) {
    clipboard.text = u"same";
    tick(50);
    EXPECT_EQ(rows().size(), 1u);
    EXPECT_EQ(clipboard.reads, 2 + 49);  // compared then read again, then one read for each unchanged tick
}

TEST_F(Watcher, AnUnchangedCountMeansNoReadAtAll) {
    clipboard.count = 7;
    clipboard.own(u"big text");
    tick();  // compared, then taken
    tick();  // compared once more: now known equal
    const int reads = clipboard.reads;
    tick(50);
    EXPECT_EQ(clipboard.reads, reads);
    clipboard.own(u"next");
    tick();
    EXPECT_EQ(rows(), (std::vector<std::u16string>{u"next", u"big text"}));
    // The same text from a new owner: read and compared, nothing added.
    clipboard.own(u"next");
    tick(3);
    EXPECT_EQ(rows().size(), 2u);
}

TEST_F(Watcher, AChangedCurrentClipIsComparedAgainEvenWithAnUnchangedCount) {
    clipboard.count = 1;
    clipboard.own(u"A");
    tick(2);
    box.setText(u"changed elsewhere");  // adds its row through the change handler
    tick();
    EXPECT_EQ(box.text(), u"A");
    EXPECT_EQ(rows(), (std::vector<std::u16string>{u"A", u"changed elsewhere", u"A"}));
}

TEST_F(Watcher, ClearLeavesTheHistoryEmptyWhileTheTextStays) {
    clipboard.text = u"kept";
    tick();
    watcher.Command1_Click();
    tick(4);
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(box.text(), u"kept");
    clipboard.text = u"next";
    tick();
    EXPECT_EQ(rows(), (std::vector<std::u16string>{u"next"}));
}

TEST_F(Watcher, BusyTicksChangeNothingAndTheTextIsTakenAfterwards) {
    clipboard.text = u"A";
    tick();
    clipboard.text = u"B";
    clipboard.busy = true;
    tick(5);
    EXPECT_EQ(rows(), (std::vector<std::u16string>{u"A"}));
    EXPECT_EQ(box.text(), u"A");
    clipboard.busy = false;
    tick();
    EXPECT_EQ(rows(), (std::vector<std::u16string>{u"B", u"A"}));
}

TEST_F(Watcher, TheSecondReadIsTheOneTakenAndItsFailureAbandonsTheTick) {
    clipboard.script = {u"new", std::nullopt};
    tick();
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(box.text(), u"");
    clipboard.script = {u"first", u"second"};
    tick();
    EXPECT_EQ(rows(), (std::vector<std::u16string>{u"second"}));
}

TEST_F(Watcher, AFailedInsertLosesTheEntryButNotTheClip) {
    list.failInserts = true;
    clipboard.text = u"lost";
    tick();
    EXPECT_EQ(box.text(), u"lost");
    list.failInserts = false;
    tick(2);
    EXPECT_TRUE(rows().empty());  // no retry
}

TEST_F(Watcher, ASecretIsNeverTakenAndTheTextAfterItIs) {
    clipboard.text = u"A";
    tick();
    clipboard.own(u"password");
    clipboard.secret = true;
    tick(3);
    EXPECT_EQ(rows(), (std::vector<std::u16string>{u"A"}));
    EXPECT_EQ(box.text(), u"A");
    clipboard.secret = false;
    clipboard.own(u"B");
    tick();
    EXPECT_EQ(rows(), (std::vector<std::u16string>{u"B", u"A"}));
}

TEST(HistoryRows, EachRowKeepsItsTextWholeAndShowsOneBoundedLine) {
    Log log;
    FakeListBox list{"List1", log};
    History history{list};
    EXPECT_EQ(list.source, &history);
    const std::u16string huge = u"a\r\nb\rc\n" + std::u16string(5000, u'x');
    history.AddItem(SharedText(huge));
    history.AddItem(SharedText(u"top"));
    EXPECT_EQ(history.Text(1).view(), huge);
    EXPECT_EQ(list.source->shown(0), u"top");
    const std::u16string row = list.source->shown(1);
    EXPECT_EQ(row.substr(0, 6), u"a\u21B5b\u21B5c\u21B5");
    EXPECT_EQ(row.size(), History::kPreviewUnits) << "1,024 units of the text, CR LF as one mark, then the ellipsis";
    EXPECT_EQ(row.back(), u'\u2026');
    EXPECT_EQ(history.Text(2).view(), u"") << "a row that is not there";
    history.Clear();
    EXPECT_EQ(list.shown, 0u);
}

}  // namespace
}  // namespace stock::test
