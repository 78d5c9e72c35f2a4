#include <gtest/gtest.h>

#include "doubles/fakes.h"
#include "main_window/frm_clipboard.h"
#include "main_window/frm_clipboard_layout.h"
#include "main_window/set_window_topmost.h"

namespace stock::test {
namespace {

struct MainWindow : ::testing::Test, MainWindowDoubles {};

TEST_F(MainWindow, StartUpShowsTheWindowOnTop) {
    start();
    EXPECT_TRUE(win().visible());
    EXPECT_TRUE(win().topmost());
    EXPECT_FALSE(win().menuEntry("mnuAbout").visible());
    EXPECT_FALSE(ui.ended);
}

TEST_F(MainWindow, SecondInstanceEndsAtTheLockWithoutShowingAnything) {
    lock.held = true;
    start();
    EXPECT_EQ(log.back(), "endProcess");
    EXPECT_FALSE(win().visible());
    EXPECT_FALSE(win().destroyed);  // no unload handler runs
}

TEST_F(MainWindow, ToggleGoesBothWaysKeepingBothCaptionsInStepAndAnyOtherCaptionGoesTopmost) {
    start();
    const auto expectMode = [&](bool top) {
        const std::u16string caption = top ? u"show normal" : u"show top";
        EXPECT_EQ(win().topmost(), top);
        EXPECT_EQ(win().button("Command8").caption(), caption);
        EXPECT_EQ(win().menuEntry("mnusnormal").caption(), caption);
    };
    win().button("Command8").click();
    expectMode(false);
    win().menuEntry("mnusnormal").click();
    expectMode(true);
    for (const std::u16string caption : {u"Show Normal", u"", u"show normal "}) {
        win().button("Command8").setCaption(caption);
        win().setTopmost(false);
        win().button("Command8").click();
        expectMode(true);
    }
}

TEST_F(MainWindow, ToggleWhileHiddenShowsTheWindow) {
    start();
    win().menuEntry("mnuHide").click();
    EXPECT_FALSE(win().visible());
    win().menuEntry("mnusnormal").click();
    EXPECT_TRUE(win().visible());
    EXPECT_FALSE(win().topmost());
}

TEST_F(MainWindow, HideKeepsTheWindowLoadedAndTheTimerRecording) {
    start();
    win().button("Command6").click();
    EXPECT_FALSE(win().visible());
    clipboard.text = u"copied while hidden";
    win().timer("Timer1").tick();
    EXPECT_EQ(win().listBox("List1").shown, 1u);
    EXPECT_FALSE(win().destroyed);
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
