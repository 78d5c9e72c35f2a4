// The history with a store behind it: every row stored as it comes, rows
// kept by earlier runs joining below this run's, the whole history handed
// over when the store is turned on.
#include "support/main_window.h"

namespace stock::test {
namespace {

using KeptHistoryTest = MainWindow;

TEST_F(KeptHistoryTest, StoresEveryRowAndShowsKeptOnesBelowThisRunsUntilCleared) {
    take(u"new one");
    store.next.loaded = {u"kept 2", u"kept 1"};
    tick();
    EXPECT_EQ(rows(), (Rows{u"new one", u"kept 2", u"kept 1"}));
    take(u"newer");
    EXPECT_EQ(store.stored, (Rows{u"new one", u"newer"}));
    win().listBox("List1").pick(2);
    EXPECT_EQ(box().text(), u"kept 2");
    click("Command1");
    EXPECT_TRUE(rows().empty());
    EXPECT_TRUE(store.stored.empty());
    EXPECT_EQ(store.clears, 1);
}

TEST_F(KeptHistoryTest, TheClipboardStillHoldingTheNewestKeptTextAddsNoSecondRow) {
    store.next.loaded = {u"same", u"older"};
    take(u"same");
    EXPECT_EQ(rows(), (Rows{u"same", u"older"}));
    EXPECT_EQ(currentClip(), u"same");
    EXPECT_TRUE(store.stored.empty());
    take(u"older");
    EXPECT_EQ(rows(), (Rows{u"older", u"same", u"older"}));
}

TEST_F(KeptHistoryTest, TurnedOnWhileRunningItGetsTheWholeHistoryOldestFirst) {
    take(u"a");
    take(u"b");
    store.stored.clear();
    store.next.wantsAll = true;
    tick();
    EXPECT_EQ(store.stored, (Rows{u"a", u"b"}));
}

TEST_F(KeptHistoryTest, KeptRowsWaitForTheFilterToCloseAndAreSearchedAfterwards) {
    take(u"APPLE");  // searched as its folded copy, kept by the filter
    FakeFilterField& field = win().filterField("List1");
    win().listBox("List1").type(u"p");
    fakeUi.runAllSoon();
    store.next.loaded = {u"cherry", u"banana"};
    tick();
    EXPECT_EQ(rows(), Rows{u"APPLE"});
    field.escape();
    tick();
    EXPECT_EQ(rows(), (Rows{u"APPLE", u"cherry", u"banana"}));
    win().listBox("List1").type(u"c");
    fakeUi.runAllSoon();
    EXPECT_EQ(rows(), Rows{u"cherry"});
    field.edit(u"an");
    fakeUi.runAllSoon();
    EXPECT_EQ(rows(), Rows{u"banana"});
    field.edit(u"pp");
    fakeUi.runAllSoon();
    EXPECT_EQ(rows(), Rows{u"APPLE"});
}

}  // namespace
}  // namespace stock::test
