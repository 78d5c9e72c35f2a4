// The main window over doubles, as the user reaches it: its timer, buttons,
// menu entries and list, with the About window beside it.
#include <gtest/gtest.h>

#include "core/about/frm_about.h"
#include "support/about_fakes.h"
#include "support/fakes.h"
#include "core/main_window/frm_clipboard.h"

namespace stock::test {
namespace {

using Rows = std::vector<std::u16string>;

struct MainWindow : ::testing::Test, AboutDoubles {
    FakeClipboard clipboard;
    FakeInstanceLock lock{log};
    FrmAbout about{{fakeUi, lifetime, userName, shell, programs, registry, messageBox}};
    FrmClipboard frm{{fakeUi, clipboard, lock, lifetime, &about}};

    void SetUp() override { frm.load(); }
    FakeWindow& win() { return fakeUi.window("frmClipboard"); }
    void click(const char* control) { win().button(control).click(); }
    void tick() { win().timer("Timer1").click(); }
    // Another program puts the text on the clipboard; the timer ticks twice.
    void take(const std::u16string& text) {
        clipboard.text = text;
        tick();
        tick();
    }
    std::u16string currentClip() { return win().textBox("RichTextBox2").text().str(); }
    Rows rows() { return win().listBox("List1").shown(); }
    FakeTextBox& box() { return win().textBox("RichTextBox1"); }
};

TEST_F(MainWindow, EachChangeOfTheExactClipboardTextAddsOneTopRow) {
    take(u"");  // an empty clipboard at start adds nothing
    for (const char16_t* text : {u"abc", u"abc", u"ABC", u"line 1\r\nline 2", u"abc", u""}) take(text);
    EXPECT_EQ(rows(), (Rows{u"", u"abc", u"line 1\u21B5line 2", u"ABC", u"abc"}));
    EXPECT_EQ(currentClip(), u"");
}

TEST_F(MainWindow, SecretsAndBusyReadsAreSkippedAndClearKeepsTheCurrentClip) {
    take(u"A");
    clipboard.secret = true;
    take(u"password");
    clipboard.secret = false;
    clipboard.busy = true;
    take(u"B");
    EXPECT_EQ(rows(), Rows{u"A"});
    EXPECT_EQ(currentClip(), u"A");
    clipboard.busy = false;
    tick();
    EXPECT_EQ(rows(), (Rows{u"B", u"A"}));
    win().menuEntry("mnuCHistory").click();
    tick();
    EXPECT_EQ(rows(), Rows{});
    EXPECT_EQ(currentClip(), u"B");
    take(u"C");
    EXPECT_EQ(rows(), Rows{u"C"});
}

TEST_F(MainWindow, ARowClickedPutsItsExactTextIntoTheEditBox) {
    take(u"first");
    take(u"second\r\nline");
    win().listBox("List1").pick(1);
    EXPECT_EQ(box().text(), u"first");
    win().listBox("List1").pick(0);
    EXPECT_EQ(box().text(), u"second\r\nline");
}

TEST_F(MainWindow, TheEditCommandsWorkOnTheSelectionAndNeedOneToCutCopyOrDelete) {
    box().setText(u"0123456789");
    box().select(2, 3);
    win().menuEntry("mnuCopy").click();
    EXPECT_EQ(clipboard.text, u"234");
    box().select(0, 2);
    win().menuEntry("mnuCut").click();
    EXPECT_EQ(clipboard.text, u"01");
    box().select(0, 1);
    win().menuEntry("mnuDelete").click();
    EXPECT_EQ(box().text(), u"3456789");
    box().select(1, 0);
    for (const char* command : {"mnuCopy", "mnuCut", "mnuDelete", "mnuPaste"}) win().menuEntry(command).click();
    EXPECT_EQ(box().text(), u"301456789");
    EXPECT_EQ(clipboard.text, u"01");
}

TEST_F(MainWindow, ACutCopyOrPasteTheClipboardRefusesChangesNothingAndBeeps) {
    box().setText(u"abcdef");
    clipboard.text = u"before";
    clipboard.busy = true;
    box().select(0, 3);
    for (const char* command : {"Command4", "Command2", "Command3"}) click(command);
    EXPECT_EQ(box().text(), u"abcdef");
    EXPECT_EQ(clipboard.text, u"before");
    EXPECT_EQ(fakeUi.beeps, 3);
}

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

}  // namespace
}  // namespace stock::test
