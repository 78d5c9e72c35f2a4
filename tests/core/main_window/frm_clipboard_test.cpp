// The main window's modes, its tray icon and the ways the program starts
// and ends.
#include "support/main_window.h"

#include "core/main_window/frm_clipboard_layout.h"

namespace stock::test {
namespace {

TEST_F(MainWindow, ShowNormalAndShowTopToggleTheWindowAndBothCaptions) {
    const auto expectTopmost = [&](bool top) {
        const std::u16string caption = top ? u"show normal" : u"show top";
        EXPECT_EQ(win().topmost(), top);
        EXPECT_EQ(win().button("Command8").caption(), caption);
        EXPECT_EQ(win().menuEntry("mnusnormal").caption(), caption);
    };
    expectTopmost(true);
    click("Command8");
    expectTopmost(false);
    win().menuEntry("mnusnormal").click();
    expectTopmost(true);
}

TEST_F(MainWindow, AboutOpensAboveTheMainWindowAndExitUnloadsItBeforeEnding) {
    win().setTop(1000);
    win().setLeft(450);
    click("Command9");
    EXPECT_EQ(fakeUi.window("frmAbout").top(), 1000 - 1590);
    EXPECT_EQ(fakeUi.window("frmAbout").left(), 450);
    click("Command7");
    log.resize(5);  // the process may be told more than once to end
    EXPECT_EQ(
        log, (Log{"create frmClipboard", "create frmAbout", "frmAbout.destroy", "frmClipboard.destroy", "endProcess"}));
}

TEST_F(MainWindow, MenuExitLeavesAnOpenAboutRunningUntilItCloses) {
    click("Command9");
    win().menuEntry("mnuExit").click();
    EXPECT_EQ(log.back(), "frmClipboard.destroy");
    fakeUi.window("frmAbout").button("cmdOK").click();
    EXPECT_EQ(log.back(), "endProcess");
}

// Left press, double-click and right press, as the tray reports them; the
// icon goes with the window.
TEST_F(MainWindow, TheTrayIconShowsTheWindowAndOpensTheMenuAtTheRightPress) {
    EXPECT_TRUE(tray.added);
    EXPECT_EQ(tray.tip, kTrayTip);
    for (const char* hide : {"Command6", "mnuHide"}) {
        hide == std::string("Command6") ? click(hide) : win().menuEntry(hide).click();
        EXPECT_FALSE(win().visible());
        tray.event(tray_message::kLeftDown);
        EXPECT_FALSE(win().visible());
        tray.event(tray_message::kLeftDoubleClick);
        EXPECT_TRUE(win().visible()) << hide;
    }
    log.clear();
    tray.event(tray_message::kRightDown);
    EXPECT_EQ(log, (Log{"frmClipboard.setForeground", "processEvents", "frmClipboard.popup mnuAbout"}));
    win().menuEntry("mnuExit").click();
    EXPECT_FALSE(tray.added);
}

struct SecondStart : MainWindow {
    void SetUp() override {
        lock.another = true;
        frm.load();
    }
};

TEST_F(SecondStart, EndsAtOnceShowingNothing) {
    EXPECT_EQ(log, (Log{"create frmClipboard", "endProcess"}));
    EXPECT_FALSE(win().visible());
    EXPECT_FALSE(tray.added);
}

}  // namespace
}  // namespace stock::test
