#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRawFont>
#include <QTest>
#include <QTimer>

#include "about/frm_about.h"
#include "about/frm_about_layout.h"
#include "doubles/about_fakes.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/qt_window.h"
#include "qt/qt_helpers.h"

namespace stock::test {
namespace {

struct QtAbout : ::testing::Test, AboutDoubles {
    qt::QtUi ui;
    FrmAbout about{{ui, lifetime, userName, shell, programs, registry, messageBox}};

    void SetUp() override { open(); }
    void open() {
        about.setTop(1500);
        about.setLeft(1500);
        about.show();
        ASSERT_TRUE(waitFor([&] { return widget()->isVisible(); }));
    }
    qt::QtWindow& win() { return dynamic_cast<qt::QtWindow&>(about.window()); }
    QWidget* widget() { return win().widget(); }
    QWidget* control(const char* name) { return win().control(name); }
    QLabel* label(const char* name) { return qobject_cast<QLabel*>(control(name)); }
    double tpp() const { return ui.twipsPerPixelX(); }
    void key(QWidget* target, int k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }
    // Moves the real pointer to a point of the client area and waits until
    // the widget there has had the X server's motion event.
    void pointTo(QPoint client) {
        const QPoint global = widget()->mapToGlobal(client);
        if (QCursor::pos() == global) moveAndWait(global + QPoint(1, 0));
        moveAndWait(global);
    }
    void moveAndWait(QPoint global) {
        struct Seen : QObject {
            QWidget* target = nullptr;
            bool seen = false;
            bool eventFilter(QObject* o, QEvent* e) override {
                if (o == target && (e->type() == QEvent::MouseMove || e->type() == QEvent::Enter)) seen = true;
                return false;
            }
        } filter;
        filter.target = QApplication::widgetAt(global);
        ASSERT_NE(filter.target, nullptr);
        qApp->installEventFilter(&filter);
        QCursor::setPos(global);
        EXPECT_TRUE(waitFor([&] { return filter.seen; })) << "no motion event";
        qApp->removeEventFilter(&filter);
    }
};

TEST_F(QtAbout, ControlsStandWhereTheTableSaysInAFixedDialogWithoutATaskbarButton) {
    for (const ControlSpec& c : frmAboutLayout().controls) {
        QWidget* w = control(c.name.c_str());
        ASSERT_NE(w, nullptr) << c.name;
        const PixelRect r = twipsToPixels(c.left, c.top, c.width, c.height, tpp());
        EXPECT_EQ(w->geometry(), QRect(r.x, r.y, r.w, r.h)) << c.name;
        EXPECT_EQ(w->mapTo(widget(), QPoint(0, 0)), QPoint(r.x, r.y)) << c.name << ": no menu bar above";
    }
    EXPECT_EQ(widget()->size(), QSize(twipsToPixels(4905, tpp()), twipsToPixels(1215, tpp())));
    EXPECT_EQ(widget()->minimumSize(), widget()->maximumSize()) << "the user cannot resize it";
    EXPECT_EQ(widget()->geometry().topLeft(), QPoint(100, 100)) << "placed at 1500 twips";
    const auto state = netWmState(widget());
    EXPECT_EQ(std::ranges::count(state, "_NET_WM_STATE_SKIP_TASKBAR"), 1);
    EXPECT_EQ(std::ranges::count(state, "_NET_WM_STATE_ABOVE"), 0);
}

// Every text shows whole: no character without a glyph, no line cut off.
TEST_F(QtAbout, TextsShowWholeAndTheUserNameArrives) {
    for (const char* name : {"lblTitle", "lblVersion", "lblDescription", "luser", "url"}) {
        const QFont f = control(name)->font();
        const QRawFont raw = QRawFont::fromFont(f);
        for (QChar ch : label(name)->text()) EXPECT_TRUE(raw.supportsCharacter(ch)) << name;
        EXPECT_LE(QFontMetrics(f).horizontalAdvance(label(name)->text()), control(name)->width()) << name;
    }
    auto* box = qobject_cast<QPlainTextEdit*>(control("txtUserName"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->toPlainText(), "alice");
    EXPECT_LE(QFontMetrics(box->font()).height() + 2, box->viewport()->height()) << "one line fits the box";
    EXPECT_FALSE(label("Image1")->pixmap().isNull()) << "the program's icon";
}

TEST_F(QtAbout, TabGoesOkSysNameAndNeverStopsOnALabel) {
    std::vector<std::string> seen;
    QWidget* w = control("cmdOK");
    for (int i = 0; i < 4; ++i) {
        seen.push_back(w->objectName().toStdString());
        w = w->nextInFocusChain();
        while (w && !(w->focusPolicy() & Qt::TabFocus)) w = w->nextInFocusChain();
        ASSERT_NE(w, nullptr);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"cmdOK", "cmdSysInfo", "txtUserName", "cmdOK"}));
    EXPECT_EQ(widget()->focusWidget(), control("cmdOK")) << "OK has the focus when the window opens";
}

TEST_F(QtAbout, EscPressesOkEverywhereEnterEverywhereButOnSys) {
    struct Case {
        const char* focus;
        int key;
        bool closes;
    };
    const Case cases[] = {
        {"cmdSysInfo", Qt::Key_Escape, true},  {"txtUserName", Qt::Key_Escape, true},
        {"txtUserName", Qt::Key_Return, true}, {"txtUserName", Qt::Key_Enter, true},
        {"cmdSysInfo", Qt::Key_Return, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.focus) + " key " + std::to_string(c.key));
        if (!about.loaded()) open();
        messageBox.shown.clear();
        QWidget* target = control(c.focus);
        target->setFocus();
        key(target, c.key);
        EXPECT_EQ(about.loaded(), !c.closes);
        // "sys" takes the Enter itself: with nothing installed, the message.
        EXPECT_EQ(messageBox.shown.size(), c.closes ? 0u : 1u);
    }
    EXPECT_EQ(lifetime.loadedWindows(), about.loaded() ? 1 : 0);
}

TEST_F(QtAbout, LinkTurnsBoldUnderThePointerWithoutMovingAndOnlyTheBareSurfaceClearsIt) {
    widget()->raise();
    widget()->activateWindow();
    QLabel* url = label("url");
    const QRect before = url->geometry();
    pointTo(QPoint(3, 3));
    ASSERT_FALSE(url->font().bold());

    pointTo(url->geometry().center());
    ASSERT_TRUE(waitFor([&] { return url->font().bold(); })) << "bold under the pointer";
    EXPECT_EQ(url->geometry(), before);

    pointTo(control("txtUserName")->geometry().center());
    EXPECT_TRUE(url->font().bold()) << "over another control";
    pointTo(QPoint(3, 3));
    ASSERT_TRUE(waitFor([&] { return !url->font().bold(); })) << "cleared over the bare surface";
    EXPECT_EQ(url->geometry(), before);
}

TEST_F(QtAbout, ClickOnTheLinkOpensItsCaption) {
    QTest::mouseClick(label("url"), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], u"https://stockkun.example/");
    EXPECT_TRUE(about.loaded());
}

TEST(QtMessageBoxTest, ModalAboveItsOwnerWithTheApplicationsTitleAndExactText) {
    qt::QtMessageBox box(u"すとっくん");
    qt::QtWindow owner(frmAboutLayout(), 15.0);
    QMessageBox* seen = nullptr;
    bool checked = false;
    QTimer::singleShot(50, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!(seen = qobject_cast<QMessageBox*>(w))) continue;
            EXPECT_EQ(seen->parentWidget(), owner.widget());
            EXPECT_TRUE(seen->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
                << "a box under the topmost main window looks like a frozen program";
            EXPECT_EQ(seen->windowTitle(), QString::fromUtf16(u"すとっくん"));
            EXPECT_EQ(seen->text(), "error : can't use sysinfo now.");
            EXPECT_EQ(seen->windowModality(), Qt::ApplicationModal);
            checked = true;
            seen->button(QMessageBox::Ok)->click();
            return;
        }
    });
    box.show(u"error : can't use sysinfo now.", &owner);
    EXPECT_TRUE(checked) << "no message box was shown";
}

}  // namespace
}  // namespace stock::test
