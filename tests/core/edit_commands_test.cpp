#include <gtest/gtest.h>

#include "doubles/fakes.h"
#include "main_window/frm_clipboard.h"

namespace stock::test {
namespace {

// The edit box commands and recall, through the main window as the user
// reaches them: buttons, menu entries and the box's own keys.
struct Editing : ::testing::Test {
    Log log;
    FakeUi ui{log};
    FakeClipboard clipboard{log};
    FakeInstanceLock lock{log};
    Lifetime lifetime{ui};
    FrmClipboard frm{{ui, clipboard, lock, lifetime, nullptr}};

    void SetUp() override { frm.load(); }
    FakeWindow& win() { return ui.window("frmClipboard"); }
    FakeTextBox& box() { return win().fakeTextBox("RichTextBox1"); }
    FakeListBox& list() { return win().fakeListBox("List1"); }
    void tick() { win().fakeTimer("Timer1").tick(); }
    void take(const std::u16string& text) {
        clipboard.text = text;
        tick();
    }
};

TEST_F(Editing, RecallPutsTheRowIntoTheBoxAndDiscardsEdits) {
    take(u"first");
    take(u"second\r\nline");
    list().pick(1);
    EXPECT_EQ(box().text(), u"first");
    box().select(5, 0);
    box().type(u" edited");
    EXPECT_EQ(box().text(), u"first edited");
    list().pick(1);
    EXPECT_EQ(box().text(), u"first");
    list().pick(0);
    EXPECT_EQ(box().text(), u"second\r\nline");
    // recall writes nothing and adds nothing
    const int reads = clipboard.reads;
    EXPECT_EQ(std::count(log.begin(), log.end(), "clipboard.write"), 0);
    tick();
    EXPECT_EQ(list().rows.size(), 2u);
    EXPECT_EQ(clipboard.reads, reads + 1);
}

TEST_F(Editing, RecallingAnEmptyRowEmptiesTheBox) {
    take(u"text");
    take(u"");
    box().type(u"typed");
    list().pick(0);
    EXPECT_EQ(box().text(), u"");
}

TEST_F(Editing, CopyAndCutPutTheSelectionOnTheClipboardAndTheNextTickRecordsIt) {
    take(u"one two three");
    list().pick(0);
    box().select(4, 3);
    win().fakeButton("Command2").click();  // Copy
    EXPECT_EQ(clipboard.text, u"two");
    EXPECT_EQ(box().text(), u"one two three");
    tick();
    EXPECT_EQ(list().rows.front(), u"two");

    box().select(0, 4);
    win().fakeButton("Command4").click();  // Cut
    EXPECT_EQ(clipboard.text, u"one ");
    EXPECT_EQ(box().text(), u"two three");
    tick();
    EXPECT_EQ(list().rows.front(), u"one ");
}

TEST_F(Editing, WithoutASelectionCopyCutAndDeleteDoNothingAndPasteInsertsAtTheCaret) {
    box().type(u"abc");
    box().select(1, 0);
    clipboard.text = u"keep";
    for (const char* b : {"Command2", "Command4", "Command5"}) win().fakeButton(b).click();
    EXPECT_EQ(clipboard.text, u"keep");
    EXPECT_EQ(box().text(), u"abc");
    win().fakeButton("Command3").click();  // Paste
    EXPECT_EQ(box().text(), u"akeepbc");
}

TEST_F(Editing, DeleteRemovesTheSelectionOnlyAndPasteOfNoTextRemovesTheSelection) {
    box().type(u"abcdef");
    clipboard.text = u"clip";
    box().select(1, 2);
    win().fakeButton("Command5").click();
    EXPECT_EQ(box().text(), u"adef");
    EXPECT_EQ(clipboard.text, u"clip");
    clipboard.text = u"";
    box().select(0, 2);
    win().fakeButton("Command3").click();
    EXPECT_EQ(box().text(), u"ef");
}

TEST_F(Editing, CopyOfTheCurrentClipTextAddsNothing) {
    take(u"same\r\ntext");
    list().pick(0);
    box().select(0, box().text().size());
    win().fakeButton("Command2").click();
    tick();
    tick();
    EXPECT_EQ(list().rows.size(), 1u);
}

TEST_F(Editing, AClipboardThatCannotBeWrittenOrReadChangesNothingAndBeeps) {
    box().type(u"abcdef");
    clipboard.text = u"before";
    clipboard.failWrites = true;
    box().select(0, 3);
    win().fakeButton("Command4").click();  // Cut
    EXPECT_EQ(box().text(), u"abcdef") << "Cut removes nothing it did not put on the clipboard";
    win().fakeButton("Command2").click();  // Copy
    EXPECT_EQ(clipboard.text, u"before");
    clipboard.busy = true;
    win().fakeButton("Command3").click();  // Paste
    EXPECT_EQ(box().text(), u"abcdef");
    EXPECT_EQ(ui.beeps, 3);
    EXPECT_FALSE(ui.ended);
}

TEST_F(Editing, MenuEntriesAndTheBoxsOwnKeysReachTheSameHandlers) {
    struct Way {
        const char* name;
        std::function<void(EditCommand, const char*)> invoke;
    };
    const Way ways[] = {
        {"button", [this](EditCommand, const char* b) { win().fakeButton(b).click(); }},
        {"menu",
         [this](EditCommand c, const char*) {
             const char* m = c == EditCommand::Copy    ? "mnuCopy"
                             : c == EditCommand::Cut   ? "mnuCut"
                             : c == EditCommand::Paste ? "mnuPaste"
                                                       : "mnuDelete";
             win().fakeMenuEntry(m).click();
         }},
        {"key", [this](EditCommand c, const char*) { box().press(c); }},
    };
    for (const Way& way : ways) {
        box().setText(u"0123456789");
        clipboard.text = u"";
        box().select(2, 3);
        way.invoke(EditCommand::Copy, "Command2");
        EXPECT_EQ(clipboard.text, u"234") << way.name;
        box().select(0, 2);
        way.invoke(EditCommand::Cut, "Command4");
        EXPECT_EQ(clipboard.text, u"01") << way.name;
        EXPECT_EQ(box().text(), u"23456789") << way.name;
        box().select(0, 1);
        way.invoke(EditCommand::Delete, "Command5");
        EXPECT_EQ(box().text(), u"3456789") << way.name;
        box().select(0, 0);
        way.invoke(EditCommand::Paste, "Command3");
        EXPECT_EQ(box().text(), u"013456789") << way.name;
    }
}

TEST_F(Editing, CommandsWorkOnTheLeftSelectionWhileTheWindowIsHidden) {
    box().type(u"hidden work");
    box().select(0, 6);
    win().fakeMenuEntry("mnuHide").click();
    win().fakeMenuEntry("mnuCopy").click();
    EXPECT_EQ(clipboard.text, u"hidden");
    EXPECT_FALSE(win().visible());
}

}  // namespace
}  // namespace stock::test
