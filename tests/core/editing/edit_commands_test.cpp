// Copy, Cut, Paste and Delete between the edit box and the clipboard.
#include "support/main_window.h"

namespace stock::test {
namespace {

using EditBox = MainWindow;

// Each command from its button, its menu entry and the box's own key, on a
// selection and on a bare caret.
TEST_F(EditBox, EachCommandDoesTheSameFromItsButtonItsMenuEntryAndTheBoxsOwnKey) {
    struct Command {
        const char *button, *menu;
        EditCommand key;
        std::u16string box, clip, boxAtCaret;
    };
    const Command commands[] = {
        {"Command2", "mnuCopy", EditCommand::Copy, u"0123456789", u"234", u"0123456789"},
        {"Command4", "mnuCut", EditCommand::Cut, u"0156789", u"234", u"0123456789"},
        {"Command3", "mnuPaste", EditCommand::Paste, u"01clip56789", u"clip", u"0clip123456789"},
        {"Command5", "mnuDelete", EditCommand::Delete, u"0156789", u"clip", u"0123456789"},
    };
    for (const Command& c : commands) {
        for (int way = 0; way < 3; ++way) {
            for (const bool selected : {true, false}) {
                clipboard.text = u"clip";
                box().setText(SharedText(u"0123456789"));
                selected ? box().select(2, 3) : box().select(1, 0);
                if (way == 0) click(c.button);
                if (way == 1) win().menuEntry(c.menu).click();
                if (way == 2) {
                    ASSERT_TRUE(box().press(c.key)) << c.button << ": the box does it on its own";
                }
                EXPECT_EQ(box().text(), selected ? c.box : c.boxAtCaret) << c.button << " way " << way;
                EXPECT_EQ(clipboard.text, selected ? c.clip : u"clip") << c.button << " way " << way;
            }
        }
    }
}

TEST_F(EditBox, ACutCopyOrPasteTheClipboardRefusesChangesNothingAndBeeps) {
    box().setText(u"abcdef");
    clipboard.text = u"before";
    clipboard.busy = true;
    box().select(0, 3);
    for (const char* command : {"Command4", "Command2", "Command3"}) click(command);
    EXPECT_EQ(box().text(), u"abcdef");
    EXPECT_EQ(clipboard.text, u"before");
    EXPECT_EQ(fakeUi.beeps, 3);
}

TEST_F(EditBox, PasteTakesTheSecretThatTheHistoryNeverRecords) {
    take(u"A");
    clipboard.secret = true;
    take(u"password");
    click("Command3");
    EXPECT_EQ(box().text(), u"password");
    EXPECT_EQ(rows(), Rows{u"A"});
}

}  // namespace
}  // namespace stock::test
