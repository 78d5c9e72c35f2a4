#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRawFont>
#include <QScrollBar>

#include "main_window/frm_clipboard_layout.h"
#include "platform/qt/qt_text.h"
#include "qt/main_window_fixture.h"

namespace stock::test {
namespace {

using qt::fromQ;

TEST_F(QtMainWindow, EveryControlStandsWhereTheTableSaysAtThisScreensTwipsPerPixel) {
    const FormSpec& layout = frmClipboardLayout();
    for (const ControlSpec& c : layout.controls) {
        if (c.kind == ControlKind::Timer) continue;
        QWidget* w = control(c.name.c_str());
        ASSERT_NE(w, nullptr) << c.name;
        const PixelRect r = twipsToPixels(c.left, c.top, c.width, c.height, tpp());
        EXPECT_EQ(w->geometry().topLeft(), QPoint(r.x, r.y)) << c.name;
        if (c.kind != ControlKind::Line) {
            EXPECT_EQ(w->size(), QSize(r.w, r.h)) << c.name;
        }
        EXPECT_EQ(w->mapTo(widget(), QPoint(0, 0)), QPoint(r.x, r.y)) << c.name << ": no menu bar above";
    }
    // The client area is exactly the table's size, and the bottom row fits.
    EXPECT_GE(widget()->height(), twipsToPixels(layout.clientHeight, tpp()));
    EXPECT_EQ(widget()->width(), twipsToPixels(layout.clientWidth, tpp()));
}

// Every caption reaches its widget exactly, and the font shows a real glyph
// for each of its characters (and for the title's).
TEST_F(QtMainWindow, CaptionsReachTheWidgetsWithAGlyphForEveryCharacter) {
    for (const ControlSpec& c : frmClipboardLayout().controls) {
        QString text;
        if (auto* b = qobject_cast<QPushButton*>(control(c.name.c_str())))
            text = b->text();
        else if (auto* l = qobject_cast<QLabel*>(control(c.name.c_str())))
            text = l->text();
        else
            continue;
        EXPECT_TRUE(fromQ(text) == c.caption) << c.name;
        const QRawFont raw = QRawFont::fromFont(control(c.name.c_str())->font());
        for (QChar ch : text)
            EXPECT_TRUE(raw.supportsCharacter(ch)) << c.name << " lacks U+" << std::hex << int(ch.unicode());
    }
    const QRawFont title = QRawFont::fromFont(QFont("IPAPGothic"));
    for (QChar ch : widget()->windowTitle())
        EXPECT_TRUE(title.supportsCharacter(ch)) << "title lacks U+" << std::hex << int(ch.unicode());
}

TEST_F(QtMainWindow, TabVisitsTheTableOrderAndNeverALabel) {
    std::vector<std::string> seen;
    QWidget* w = control("List1");
    for (int i = 0; i < 12; ++i) {
        seen.push_back(w->objectName().toStdString());
        w = w->nextInFocusChain();
        while (w && !(w->focusPolicy() & Qt::TabFocus)) w = w->nextInFocusChain();
        ASSERT_NE(w, nullptr);
    }
    EXPECT_EQ(seen, focusOrder(frmClipboardLayout()));
    for (const char* l : {"Label1", "Label2", "Label3", "Label4"}) EXPECT_EQ(control(l)->focusPolicy(), Qt::NoFocus);
}

TEST_F(QtMainWindow, TopmostNoTaskbarButtonAndHeightAfterLoad) {
    EXPECT_EQ(widget()->frameGeometry().height(), twipsToPixels(kOuterHeightAfterLoad, tpp()));
    EXPECT_EQ(widget()->minimumSize(), widget()->maximumSize()) << "fixed border";

    // The window's state on the X server names skip-taskbar and above.
    const auto state = netWmState(widget());
    EXPECT_EQ(std::ranges::count(state, "_NET_WM_STATE_SKIP_TASKBAR"), 1);
    EXPECT_EQ(std::ranges::count(state, "_NET_WM_STATE_ABOVE"), 1);

    frm.Command8_Click();
    EXPECT_FALSE(widget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(widget()->isVisible());
    frm.Command8_Click();
    EXPECT_TRUE(widget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(QtMainWindow, CurrentClipIsReadOnlySoTypingAddsNoRows) {
    auto* box = qobject_cast<QPlainTextEdit*>(control("RichTextBox2"));
    const auto rows = frm.history().size();
    box->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(box, &press);
    EXPECT_EQ(frm.history().size(), rows);
}

TEST_F(QtMainWindow, MultiLineRowsShowOnOneLineAndTheListScrollsSideways) {
    auto* list = qobject_cast<QListView*>(control("List1"));
    auto& clip = frm.window().textBox("RichTextBox2");
    clip.setText(SharedText(u"one\r\ntwo"));
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), QString::fromUtf16(u"one\u21B5two"));
    clip.setText(SharedText(std::u16string(100000, u'x')));
    EXPECT_LE(list->model()->index(0, 0).data().toString().size(), 1025);
    EXPECT_EQ(frm.history().Text(0).size(), 100000u);
    EXPECT_TRUE(waitFor([&] { return list->horizontalScrollBar()->maximum() + list->viewport()->width() >= 20000; }));
}

TEST_F(QtMainWindow, AHugeCurrentClipIsKeptWholeWhileOnlyItsStartIsShown) {
    std::u16string huge;
    while (huge.size() < 3u << 20) huge += u"0123456789abcdef\r\n";
    auto& box = frm.window().textBox("RichTextBox2");
    box.setText(huge);
    EXPECT_TRUE(box.text() == huge);
    auto* edit = qobject_cast<QPlainTextEdit*>(control("RichTextBox2"));
    EXPECT_LT(edit->document()->characterCount(), 300 * 1024);
    EXPECT_FALSE(edit->toolTip().isEmpty());
    EXPECT_TRUE(frm.history().Text(0) == huge);
    box.setText(u"");
    EXPECT_TRUE(box.text().empty());
    EXPECT_TRUE(edit->toolTip().isEmpty());
}

TEST_F(QtMainWindow, ThePopupHasTheEditSubmenuAndTheWindowNoMenuBar) {
    QMenu* popup = win().menu("mnuAbout");
    ASSERT_NE(popup, nullptr);
    QMenu* edit = popup->actions().front()->menu();
    ASSERT_NE(edit, nullptr) << "edit opens a submenu";
    EXPECT_EQ(edit->actions().size(), 3);
    EXPECT_FALSE(widget()->findChild<QMenuBar*>()->isVisible());
}

}  // namespace
}  // namespace stock::test
