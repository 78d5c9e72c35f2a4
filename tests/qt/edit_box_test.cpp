#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "platform/qt/exact_text_edit.h"
#include "platform/qt/qt_text.h"
#include "platform/text_map.h"
#include "qt/main_window_fixture.h"

namespace stock::test {
namespace {

struct QtEditBox : QtMainWindow {
    QPlainTextEdit* edit() { return qobject_cast<QPlainTextEdit*>(control("RichTextBox1")); }
    TextBox& box() { return frm.window().textBox("RichTextBox1"); }
    QAbstractItemView* listView() { return qobject_cast<QAbstractItemView*>(control("List1")); }
    // Selects display positions [from, to) as the user would.
    void selectDisplay(int from, int to) {
        QTextCursor c = edit()->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        edit()->setTextCursor(c);
    }
    std::u16string clipboardText() {
        const auto r = clipboard.readText();
        return r ? r->text.str() : u"<unreadable>";
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}, QWidget* to = nullptr) {
        QKeyEvent press(QEvent::KeyPress, k, mods, text);
        QApplication::sendEvent(to ? to : edit(), &press);
    }
};

// Through the box's own keys, which do what the buttons do.
TEST_F(QtEditBox, CopyCutAndPasteKeepLineBreaksAndPairsExactly) {
    const std::u16string text = u"a\r\nb\rc\u2029d\ne\t\U0001F600 ";
    box().setText(text);
    // display: a \n b \n c \n d \n e \t (pair) space
    selectDisplay(0, edit()->document()->characterCount() - 1);
    EXPECT_EQ(box().selLength(), text.size());
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboardText(), text);

    selectDisplay(9, 12);  // tab and the surrogate pair
    EXPECT_EQ(box().selText(), u"\t\U0001F600");

    selectDisplay(1, 4);  // the CR LF, "b" and the lone CR
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboardText(), u"\r\nb\r");
    EXPECT_EQ(box().text(), u"ac\u2029d\ne\t\U0001F600 ");
    selectDisplay(0, 0);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box().text(), u"\r\nb\rac\u2029d\ne\t\U0001F600 ");
}

TEST_F(QtEditBox, TypingKeepsTheLineBreaksAroundIt) {
    box().setText(u"a\r\nb");
    QTextCursor c = edit()->textCursor();
    c.movePosition(QTextCursor::End);
    edit()->setTextCursor(c);
    key(Qt::Key_C, Qt::NoModifier, "c");
    EXPECT_EQ(box().text(), u"a\r\nbc");
    key(Qt::Key_Return, Qt::NoModifier, "\r");
    key(Qt::Key_D, Qt::NoModifier, "d");
    EXPECT_EQ(box().text(), u"a\r\nbc\nd");
}

TEST_F(QtEditBox, AVeryLargePasteGoesInWholeAndExact) {
    std::u16string big;
    while (big.size() < (3u << 20)) big += u"line \U0001F600 with a pair\r\nlone CR\r";
    ASSERT_TRUE(clipboard.writeText(big));
    box().setText(u"[]");
    selectDisplay(1, 1);
    frm.mnuPaste_Click();
    EXPECT_TRUE(box().text() == u"[" + big + u"]");
    EXPECT_EQ(static_cast<std::size_t>(edit()->document()->characterCount() - 1), displayLength(box().text().view()));
}

TEST_F(QtEditBox, CommandsDoNotMoveTheFocus) {
    frm.window().show();
    QWidget* list = listView();
    list->setFocus();
    ASSERT_TRUE(waitFor([&] { return list->hasFocus(); }));
    box().setText(u"focus stays");
    selectDisplay(0, 5);
    frm.mnuDelete_Click();
    EXPECT_TRUE(list->hasFocus());
    EXPECT_EQ(box().text(), u" stays");
}

TEST_F(QtEditBox, OnlyTheUserPickingARowRecallsIt) {
    // rows come as the current clip changes
    auto& clip = frm.window().textBox("RichTextBox2");
    clip.setText(SharedText(u"first"));
    clip.setText(SharedText(u"second\r\nrow"));
    frm.window().show();
    auto* lv = listView();
    box().setText(u"draft");
    // Qt makes a row current when the list gains the focus: not a pick.
    lv->setFocus();
    ASSERT_TRUE(waitFor([&] { return lv->hasFocus(); }));
    lv->setCurrentIndex(lv->model()->index(0, 0));
    EXPECT_EQ(box().text(), u"draft");
    key(Qt::Key_Down, Qt::NoModifier, {}, lv);
    EXPECT_EQ(box().text(), u"first");
    key(Qt::Key_Up, Qt::NoModifier, {}, lv);
    EXPECT_EQ(box().text(), u"second\r\nrow");
    // new rows arriving under the current row recall nothing
    box().setText(u"edited");
    clip.setText(SharedText(u"newer"));
    EXPECT_EQ(box().text(), u"edited");
}

// A text that arrives is held once: the current clip, its history row and
// a recalled entry share one buffer; editing the recalled text makes a new
// one and leaves the row as it was.
TEST_F(QtEditBox, OneBufferBehindTheCurrentClipItsRowAndARecall) {
    std::u16string big;
    for (int i = 0; i < 3000; ++i) big += std::u16string(99, u'x') + u"\r\n";
    const SharedText arrived(big + u"end");
    frm.window().textBox("RichTextBox2").setText(arrived);  // as a tick does with the text it read
    const SharedText clip = frm.window().textBox("RichTextBox2").text();
    const SharedText row = frm.history().Text(0);
    EXPECT_TRUE(clip.sharesBufferWith(arrived));
    EXPECT_TRUE(clip.sharesBufferWith(row));

    frm.window().show();
    listView()->setFocus();
    key(Qt::Key_Home, Qt::NoModifier, {}, listView());
    EXPECT_TRUE(box().text().sharesBufferWith(row)) << "the recall shares the row's text";

    selectDisplay(0, 1);
    key(Qt::Key_Y, Qt::NoModifier, QStringLiteral("y"));
    EXPECT_FALSE(box().text().sharesBufferWith(row));
    EXPECT_EQ(box().text().view().substr(0, 2), u"yx");
    EXPECT_EQ(frm.history().Text(0), arrived) << "the row keeps its text";
}

// Wrapping one line of a few hundred thousand characters takes many seconds:
// a text with such a line is shown unwrapped, whether recalled or pasted.
TEST_F(QtEditBox, ALineTooLongToWrapIsShownUnwrapped) {
    const std::u16string longLine(qt::ExactTextEdit::kLongestWrappedLine + 1, u'x');
    box().setText(u"a\r\n" + longLine);
    EXPECT_EQ(edit()->lineWrapMode(), QPlainTextEdit::NoWrap);
    box().setText(u"short again");
    EXPECT_EQ(edit()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    box().setSelText(SharedText(longLine));
    EXPECT_EQ(edit()->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(box().text().size(), std::u16string(u"short again").size() + longLine.size());
}

}  // namespace
}  // namespace stock::test
