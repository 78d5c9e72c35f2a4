// The Qt front end's widgets, real ones on the X server named by DISPLAY,
// with the real clipboard: the windows' layouts (run again at 120 DPI by
// qt_layout_at_120_dpi), the history list's model, the edit box's exact text.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRawFont>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <cstdlib>
#include <functional>
#include <memory>

#include "core/about/frm_about.h"
#include "core/about/frm_about_layout.h"
#include "support/about_fakes.h"
#include "support/every_kind_form.h"
#include "support/scratch.h"
#include "core/main_window/frm_clipboard.h"
#include "core/main_window/frm_clipboard_layout.h"
#include "ui/qt/exact_text_edit.h"
#include "ui/qt/history_list.h"
#include "ui/qt/qt_clipboard.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/qt_ui.h"
#include "ui/qt/qt_window.h"
#include "core/text/text_map.h"

namespace stock::test {
namespace {

// Runs the event loop until the condition holds.
bool waitFor(const std::function<bool()>& condition) {
    return eventually(
        [&] {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            return condition();
        },
        std::chrono::seconds(60));
}

// Every control but a timer stands where the layout puts it at this screen's
// twips per pixel, in the window itself (no menu bar above it), with a glyph
// for each character of its caption; with `labelsFit`, no label's caption is
// cut off.
void expectLayout(const qt::QtWindow& window, const FormSpec& layout, double twipsPerPixel, bool labelsFit) {
    for (const ControlSpec& c : layout.controls) {
        if (c.kind == ControlKind::Timer) continue;
        QWidget* w = window.control(c.name);
        ASSERT_NE(w, nullptr) << c.name;
        const PixelRect r = twipsToPixels(c.left, c.top, c.width, c.height, twipsPerPixel);
        EXPECT_EQ(QRect(w->mapTo(window.widget(), QPoint(0, 0)), w->size()),
                  QRect(r.x, r.y, std::max(r.w, 1), std::max(r.h, 1)))
            << c.name;
        const QString caption = qt::toQ(c.caption);
        const QRawFont raw = QRawFont::fromFont(w->font());
        for (QChar ch : caption)
            EXPECT_TRUE(raw.supportsCharacter(ch)) << c.name << " lacks U+" << std::hex << int(ch.unicode());
        if (labelsFit && c.kind == ControlKind::Label) {
            EXPECT_LE(QFontMetrics(w->font()).horizontalAdvance(caption), w->width()) << c.name;
        }
    }
}

struct QtMainWindow : ::testing::Test {
    Log log;
    qt::QtUi ui;
    qt::QtClipboard clipboard;
    FakeInstanceLock lock;
    FakeUi ending{log};  // ending the process here would end the test's event loops
    Lifetime lifetime{ending};
    FrmClipboard frm{{ui, clipboard, lock, lifetime, nullptr}};

    void SetUp() override {
        frm.load();
        ASSERT_TRUE(waitFor([&] { return widget()->isVisible(); }));
    }
    qt::QtWindow& win() { return dynamic_cast<qt::QtWindow&>(frm.window()); }
    QWidget* widget() { return win().widget(); }
    QPlainTextEdit* edit() { return qobject_cast<QPlainTextEdit*>(win().control("RichTextBox1")); }
    TextBox& box() { return frm.window().textBox("RichTextBox1"); }
    // Selects display positions [from, to) as the user would.
    void selectDisplay(int from, int to) {
        QTextCursor c = edit()->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        edit()->setTextCursor(c);
    }
    std::u16string clipboardText() { return clipboard.readText().value_or(ClipboardText{}).text.str(); }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}, QWidget* to = nullptr) {
        QKeyEvent press(QEvent::KeyPress, k, mods, text);
        QApplication::sendEvent(to ? to : edit(), &press);
    }
};

TEST_F(QtMainWindow, EveryControlInPlaceAndTabInTheTableOrder) {
    const FormSpec& layout = frmClipboardLayout();
    expectLayout(win(), layout, ui.twipsPerPixelX(), false);
    EXPECT_EQ(widget()->width(), twipsToPixels(layout.clientWidth, ui.twipsPerPixelX()));
    EXPECT_EQ(widget()->frameGeometry().height(), twipsToPixels(kOuterHeightAfterLoad, ui.twipsPerPixelX()));
    EXPECT_EQ(widget()->minimumSize(), widget()->maximumSize()) << "fixed border";
    std::vector<std::string> stops;
    QWidget* w = win().control("List1");
    for (int i = 0; i < 100 && stops.size() < focusOrder(layout).size(); ++i, w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus) stops.push_back(w->objectName().toStdString());
    EXPECT_EQ(stops, focusOrder(layout));
}

// Rows show on one line and scroll sideways; the current clip is read-only,
// and of a huge text it shows only the start, never half a pair, while it
// keeps the whole text.
TEST_F(QtMainWindow, RowsShowOnOneLineAndTheCurrentClipIsReadOnlyAndBounded) {
    frm.window().textBox("RichTextBox2").setText(SharedText(u"second\r\nrow"));
    auto* list = qobject_cast<QListView*>(win().control("List1"));
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), QString::fromUtf16(u"second\u21B5row"));
    EXPECT_TRUE(waitFor([&] { return list->horizontalScrollBar()->maximum() + list->viewport()->width() >= 20000; }));
    key(Qt::Key_A, Qt::NoModifier, "a", win().control("RichTextBox2"));
    EXPECT_EQ(frm.history().size(), 1u);
    QTest::mouseClick(win().control("Command1"), Qt::LeftButton);
    EXPECT_EQ(list->model()->rowCount(), 0) << "Clear   History leaves no row drawn";

    const std::size_t limit = findControl(frmClipboardLayout(), "RichTextBox2")->displayLimit;
    ASSERT_GT(limit, 0u);
    const std::u16string huge = std::u16string(limit - 1, u'\n') + u"\U0001F600" + std::u16string(limit, u'y');
    frm.window().textBox("RichTextBox2").setText(SharedText(huge));
    auto* clip = qobject_cast<QPlainTextEdit*>(win().control("RichTextBox2"));
    EXPECT_EQ(clip->toPlainText().size(), static_cast<qsizetype>(limit - 1));
    EXPECT_TRUE(frm.window().textBox("RichTextBox2").text() == huge);
}

// A huge text recalled fills the edit box from the event loop, read-only
// until it is full, and a new recall ends the fill first. Typing among the
// marks the box hides keeps them and shows the run's start anew; deleting the
// last mark shown deletes them with it; undo brings them back.
TEST_F(QtMainWindow, AHugeRecallFillsTheEditBoxBySlicesAndHiddenMarksStayExact) {
    auto* e = dynamic_cast<qt::ExactTextEdit*>(edit());
    box().setText(SharedText(std::u16string(1u << 17, u'x')));
    ASSERT_TRUE(e->filling()) << "the document fills from the event loop";
    EXPECT_TRUE(e->isReadOnly());
    const std::u16string marks(70000, u'\u0301'), line = u"\nlong " + std::u16string(kShownLineUnits + 100, u'y');
    box().setText(SharedText(u"a" + marks + line));
    ASSERT_TRUE(waitFor([&] { return !e->filling(); }));
    EXPECT_FALSE(e->isReadOnly());
    auto shows = [&](const std::u16string& exact) {
        return box().text() == exact && qt::fromQ(edit()->toPlainText()) == toDisplay(exact);
    };
    EXPECT_TRUE(shows(u"a" + marks + line)) << "the second text only, whole";
    selectDisplay(1, 2);
    key(Qt::Key_Y, Qt::NoModifier, "y");  // over the first mark
    EXPECT_TRUE(shows(u"ay" + marks.substr(1) + line));
    selectDisplay(2 + kShownMarks, 2 + kShownMarks);
    key(Qt::Key_Backspace);  // the last mark shown, and with it those it hides
    EXPECT_TRUE(shows(u"ay" + marks.substr(0, kShownMarks - 1) + line));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(shows(u"ay" + marks.substr(1) + line));
}

// Through the box's own keys, which do what the buttons do; Tab leaves it.
TEST_F(QtMainWindow, EditBoxCopyCutPasteAndTypingKeepLineBreaksAndPairsExactly) {
    const std::u16string text = u"a\r\nb\rc\u2029d\ne\t\U0001F600 ";
    box().setText(text);
    // display: a \n b \n c \n d \n e \t (pair) space
    selectDisplay(0, edit()->document()->characterCount() - 1);
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
    key(Qt::Key_X, Qt::NoModifier, "x");
    key(Qt::Key_Return, Qt::NoModifier, "\r");
    key(Qt::Key_Y, Qt::NoModifier, "y");
    key(Qt::Key_Tab, Qt::NoModifier, "\t");
    EXPECT_EQ(box().text(), u"\r\nb\rx\nyac\u2029d\ne\t\U0001F600 ");
}

// The About window's keys (Tab, Esc, Enter) are the end-to-end tests' part.
// Typing into the list opens the filter field over its bottom edge; the list
// shows the matching rows and the field their count; the arrow keys in the
// field pick among them; Esc shows every row again with the current row kept.
TEST_F(QtMainWindow, TypingIntoTheListFiltersItsRowsAndEscRestoresThem) {
    for (const char16_t* t : {u"kiwi", u"ｶﾀｶﾅ\r\nline", u"tea", u"カタログ"})
        frm.window().textBox("RichTextBox2").setText(SharedText(t));
    auto* list = qobject_cast<QListView*>(win().control("List1"));
    auto* bar = widget()->findChild<qt::FilterBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isVisible());
    list->setCurrentIndex(list->model()->index(2, 0));
    key(0, Qt::NoModifier, QString::fromUtf16(u"カ"), list);
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->geometry().bottom(), list->geometry().bottom()) << "over the list's bottom edge";
    EXPECT_EQ(bar->width(), list->width());
    EXPECT_EQ(bar->edit()->text(), QString::fromUtf16(u"カ")) << "the first character opens it";
    key(0, Qt::NoModifier, QString::fromUtf16(u"タ"), bar->edit());
    EXPECT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(bar->count()->text(), QStringLiteral("2 / 4"));
    EXPECT_EQ(list->currentIndex().row(), 1) << "the current row stays current while shown";
    QTest::keyClick(bar->edit(), Qt::Key_Up);
    EXPECT_EQ(box().text(), u"カタログ");
    QTest::keyClick(bar->edit(), Qt::Key_Down);
    EXPECT_EQ(box().text(), u"ｶﾀｶﾅ\r\nline") << "the shown row, recalled exactly";
    QTest::keyClick(bar->edit(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(list->model()->rowCount(), 4);
    EXPECT_EQ(list->currentIndex().row(), 2);
    widget()->activateWindow();
    edit()->setFocus();
    ASSERT_TRUE(waitFor([&] { return edit()->hasFocus(); }));
    QTest::keyClick(widget()->windowHandle(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(waitFor([&] { return bar->isVisible() && bar->edit()->text().isEmpty(); }));
}

struct QtAbout : ::testing::Test, AboutDoubles {
    qt::QtUi ui;
    FrmAbout about{{ui, lifetime, userName, shell, programs, registry, messageBox}};
};

TEST_F(QtAbout, ControlsInPlaceInAFixedDialogTheUserNameInOneLineAndTheLinkOpens) {
    about.show();
    auto& win = dynamic_cast<qt::QtWindow&>(about.window());
    ASSERT_TRUE(waitFor([&] { return win.widget()->isVisible(); }));
    const double tpp = ui.twipsPerPixelX();
    expectLayout(win, frmAboutLayout(), tpp, true);
    EXPECT_EQ(win.widget()->size(), QSize(twipsToPixels(4905, tpp), twipsToPixels(1215, tpp)));
    EXPECT_EQ(win.widget()->minimumSize(), win.widget()->maximumSize()) << "the user cannot resize it";
    auto* box = qobject_cast<QPlainTextEdit*>(win.control("txtUserName"));
    EXPECT_EQ(box->toPlainText(), "alice");
    EXPECT_LE(QFontMetrics(box->font()).height() + 2, box->viewport()->height()) << "one line fits the box";
    EXPECT_FALSE(qobject_cast<QLabel*>(win.control("Image1"))->pixmap().isNull()) << "the program's icon";
    QTest::mouseClick(win.control("url"), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(shell.opened, std::vector<std::u16string>{u"https://stockkun.example/"});
}

// destroy() drops every handler the window and its controls keep, takes no
// new one, and the events that ran them run nothing.
TEST(QtWindow, DestroyDropsEveryHandlerAndTakesNoNewOne) {
    qt::QtUi ui;
    auto window = ui.createWindow(everyKindForm());
    auto& qtWindow = dynamic_cast<qt::QtWindow&>(*window);
    auto token = std::make_shared<int>(0);
    int ran = 0;
    const Handler handler = [token, &ran] { ++ran; };
    giveEveryHandler(*window, handler);
    window->textBox("box").setText(SharedText(u"before"));
    ASSERT_EQ(ran, 1) << "the handlers are in place";
    window->destroy();
    EXPECT_EQ(token.use_count(), 2) << "the test's own handler and token: every other copy is gone";
    giveEveryHandler(*window, handler);
    EXPECT_EQ(token.use_count(), 2) << "none taken after destroy()";
    qobject_cast<QPushButton*>(qtWindow.control("ok"))->click();
    qtWindow.menu("top")->actions().front()->trigger();
    window->textBox("box").setText(SharedText(u"after"));
    qtWindow.widget()->close();
    EXPECT_EQ(ran, 1);
}

// Rows as a core list hands them over: inserted first, then announced.
struct Rows final : ListRows {
    std::vector<std::u16string> rows;
    std::size_t size() const override { return rows.size(); }
    std::u16string shown(std::size_t i) const override { return rows.at(i); }
    void insert(qt::HistoryModel& model, std::size_t at, std::u16string text) {
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), std::move(text));
        model.inserted(at);
    }
};

// Qt's own model checker verifies every signal and index against the
// model's answers; a broken rule ends the test program with its message.
TEST(HistoryModel, KeepsQtsModelRulesAsRowsComeAndGo) {
    qt::HistoryModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    Rows rows;
    rows.rows = {u"kept"};
    model.setRows(&rows);
    rows.insert(model, 0, u"first");
    rows.insert(model, 0, u"second");  // the newest on top
    rows.insert(model, 3, u"last");    // at the end
    rows.insert(model, 1, u"middle");
    ASSERT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("second"));
    EXPECT_EQ(model.index(1, 0).data().toString(), QStringLiteral("middle"));
    EXPECT_EQ(model.index(4, 0).data().toString(), QStringLiteral("last"));
    rows.rows.clear();
    model.cleared();
    EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
}  // namespace stock::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    stock::qt::installFontSubstitutions();
    return RUN_ALL_TESTS();
}
