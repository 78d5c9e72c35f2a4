#include <gtest/gtest.h>

#include "doubles/fakes.h"
#include "main_window/frm_clipboard.h"

namespace stock::test {
namespace {

// The edit box commands and recall, through the main window as the user
// reaches them: buttons, menu entries and the box's own keys.
struct Editing : ::testing::Test, MainWindowDoubles {
    void SetUp() override { start(); }
    FakeTextBox& box() { return win().textBox("RichTextBox1"); }
    FakeListBox& list() { return win().listBox("List1"); }
    void tick() { win().timer("Timer1").tick(); }
    void take(const std::u16string& text) {
        clipboard.text = text;
        tick();
    }
};

TEST_F(Editing, RecallPutsTheRowIntoTheBoxAndDiscardsEdits) {
    take(u"first");
    take(u"");
    take(u"second\r\nline");
    list().pick(2);
    box().select(5, 0);
    box().type(u" edited");
    list().pick(2);
    EXPECT_EQ(box().text(), u"first");
    list().pick(0);
    EXPECT_EQ(box().text(), u"second\r\nline");
    list().pick(1);
    EXPECT_EQ(box().text(), u"") << "an empty row empties the box";
    // recall writes nothing and adds nothing
    EXPECT_EQ(std::count(log.begin(), log.end(), "clipboard.write"), 0);
    tick();
    EXPECT_EQ(list().shown, 3u);
}

TEST_F(Editing, WithoutASelectionOnlyPasteActsAndPastingNoTextRemovesTheSelection) {
    box().type(u"abc");
    box().select(1, 0);
    clipboard.text = u"keep";
    for (const char* b : {"Command2", "Command4", "Command5"}) win().button(b).click();
    EXPECT_EQ(clipboard.text, u"keep");
    EXPECT_EQ(box().text(), u"abc");
    clipboard.text = u"";
    box().select(0, 2);
    win().button("Command3").click();
    EXPECT_EQ(box().text(), u"c");
}

TEST_F(Editing, CopyOfTheCurrentClipTextAddsNothing) {
    take(u"same\r\ntext");
    list().pick(0);
    box().select(0, box().text().size());
    win().button("Command2").click();
    tick();
    EXPECT_EQ(list().shown, 1u);
}

TEST_F(Editing, AClipboardThatCannotBeWrittenOrReadChangesNothingAndBeeps) {
    box().type(u"abcdef");
    clipboard.text = u"before";
    clipboard.failWrites = true;
    box().select(0, 3);
    win().button("Command4").click();  // Cut
    EXPECT_EQ(box().text(), u"abcdef") << "Cut removes nothing it did not put on the clipboard";
    win().button("Command2").click();  // Copy
    EXPECT_EQ(clipboard.text, u"before");
    clipboard.busy = true;
    win().button("Command3").click();  // Paste
    EXPECT_EQ(box().text(), u"abcdef");
    EXPECT_EQ(ui.beeps, 3);
    EXPECT_FALSE(ui.ended);
}

TEST_F(Editing, ButtonsMenuEntriesAndTheBoxsOwnKeysReachTheSameHandlers) {
    struct Command {
        EditCommand command;
        const char* button;
        const char* menu;
    };
    const Command copy{EditCommand::Copy, "Command2", "mnuCopy"}, cut{EditCommand::Cut, "Command4", "mnuCut"},
        del{EditCommand::Delete, "Command5", "mnuDelete"}, paste{EditCommand::Paste, "Command3", "mnuPaste"};
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        const auto run = [&](const Command& c) {
            if (way == 0)
                win().button(c.button).click();
            else if (way == 1)
                win().menuEntry(c.menu).click();
            else
                box().press(c.command);
        };
        if (way == 1) win().menuEntry("mnuHide").click();  // the tray menu works on the hidden window
        box().setText(u"0123456789");
        clipboard.text = u"";
        box().select(2, 3);
        run(copy);
        EXPECT_EQ(clipboard.text, u"234");
        box().select(0, 2);
        run(cut);
        EXPECT_EQ(clipboard.text, u"01");
        EXPECT_EQ(box().text(), u"23456789");
        box().select(0, 1);
        run(del);
        EXPECT_EQ(box().text(), u"3456789");
        box().select(0, 0);
        run(paste);
        EXPECT_EQ(box().text(), u"013456789");
    }
}

}  // namespace
}  // namespace stock::test
