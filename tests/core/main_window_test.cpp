#include <gtest/gtest.h>

#include <algorithm>

#include "doubles/fakes.h"
#include "main_window/frm_clipboard.h"
#include "main_window/frm_clipboard_layout.h"
#include "main_window/set_window_topmost.h"

namespace stock::test {
namespace {

struct MainWindow : ::testing::Test {
    Log log;
    FakeUi ui{log};
    FakeClipboard clipboard{log};
    FakeInstanceLock lock{log};
    Lifetime lifetime{ui};
    std::unique_ptr<FrmClipboard> frm;

    FakeWindow& win() { return ui.window("frmClipboard"); }
    void start(AboutForm* about = nullptr) {
        frm = std::make_unique<FrmClipboard>(FrmClipboard::Services{ui, clipboard, lock, lifetime, about});
        frm->load();
    }
};

TEST_F(MainWindow, StartUpShowsTheWindowOnTopWithItsCaptionsInStep) {
    start();
    EXPECT_TRUE(win().visible());
    EXPECT_TRUE(win().topmost());
    EXPECT_EQ(win().outerHeight(), 5790);
    EXPECT_EQ(win().button("Command8").caption(), u"show normal");
    EXPECT_EQ(win().menuEntry("mnusnormal").caption(), u"show normal");
    EXPECT_FALSE(win().menuEntry("mnuAbout").visible());
    EXPECT_FALSE(ui.ended);
}

TEST_F(MainWindow, SecondInstanceEndsAtTheLockWithoutShowingAnything) {
    lock.held = true;
    start();
    EXPECT_TRUE(ui.ended);
    EXPECT_EQ(log.back(), "endProcess");
    EXPECT_FALSE(win().visible());
    EXPECT_FALSE(win().destroyed);  // no unload handler runs
}

TEST_F(MainWindow, ToggleGoesBothWaysAndKeepsBothCaptionsInStep) {
    start();
    win().fakeButton("Command8").click();
    EXPECT_FALSE(win().topmost());
    EXPECT_EQ(win().button("Command8").caption(), u"show top");
    EXPECT_EQ(win().menuEntry("mnusnormal").caption(), u"show top");

    win().fakeMenuEntry("mnusnormal").click();
    EXPECT_TRUE(win().topmost());
    EXPECT_EQ(win().button("Command8").caption(), u"show normal");
    EXPECT_EQ(win().menuEntry("mnusnormal").caption(), u"show normal");
}

TEST_F(MainWindow, ToggleFromAnyOtherCaptionGoesTopmost) {
    start();
    for (const std::u16string caption : {u"Show Normal", u"", u"show normal ", u"show top"}) {
        win().button("Command8").setCaption(caption);
        win().setTopmost(false);
        win().fakeButton("Command8").click();
        EXPECT_TRUE(win().topmost());
        EXPECT_EQ(win().button("Command8").caption(), u"show normal");
        EXPECT_EQ(win().menuEntry("mnusnormal").caption(), u"show normal");
    }
}

TEST_F(MainWindow, ToggleWhileHiddenShowsTheWindow) {
    start();
    win().fakeMenuEntry("mnuHide").click();
    EXPECT_FALSE(win().visible());
    win().fakeMenuEntry("mnusnormal").click();
    EXPECT_TRUE(win().visible());
    EXPECT_FALSE(win().topmost());
}

TEST_F(MainWindow, HideKeepsTheWindowLoadedAndTheTimerRecording) {
    start();
    win().fakeButton("Command6").click();
    EXPECT_FALSE(win().visible());
    EXPECT_FALSE(win().destroyed);
    clipboard.text = u"copied while hidden";
    win().fakeTimer("Timer1").tick();
    ASSERT_EQ(win().fakeListBox("List1").rows.size(), 1u);
    EXPECT_EQ(win().fakeListBox("List1").rows[0], u"copied while hidden");
    EXPECT_FALSE(ui.ended);
}

TEST_F(MainWindow, NoHandlerFailureEndsTheProgram) {
    start();
    win().fakeListBox("List1").failInserts = true;
    clipboard.text = u"x";
    win().fakeTimer("Timer1").tick();
    EXPECT_EQ(win().textBox("RichTextBox2").text(), u"x");  // the entry is lost, the clip kept
    EXPECT_FALSE(ui.ended);
}

TEST(SetWindowTopmostProc, ModesZeroAndOneOnlyAnythingElseDoesNothing) {
    Log log;
    FakeWindow w(frmClipboardLayout(), log);
    EXPECT_EQ(SetWindowTopmost(w, 1), 1);
    EXPECT_TRUE(w.topmost());
    EXPECT_EQ(SetWindowTopmost(w, 0), 1);
    EXPECT_FALSE(w.topmost());
    log.clear();
    for (std::int16_t mode : {2, -1, 255}) EXPECT_EQ(SetWindowTopmost(w, mode), 0);
    EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace stock::test
