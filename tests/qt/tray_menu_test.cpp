#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "doubles/fakes.h"
#include "main_window/frm_clipboard.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/qt_window.h"
#include "qt/qt_helpers.h"

namespace stock::test {
namespace {

struct QtTrayMenu : ::testing::Test {
    Log log;
    qt::QtUi ui;
    qt::QtClipboard clipboard;
    FakeInstanceLock lock{log};
    FakeUi fakeUi{log};
    Lifetime lifetime{fakeUi};  // ending the process here would end the test's event loops
    FrmClipboard frm{{ui, clipboard, lock, lifetime, nullptr, nullptr}};

    void SetUp() override { frm.load(); }
    QMenu* popup() { return dynamic_cast<qt::QtWindow&>(frm.window()).menu("mnuAbout"); }
};

TEST_F(QtTrayMenu, ThePopupHasTheEditSubmenuAndTheWindowNoMenuBar) {
    ASSERT_NE(popup(), nullptr);
    QMenu* edit = popup()->actions().front()->menu();
    ASSERT_NE(edit, nullptr) << "edit opens a submenu";
    EXPECT_EQ(edit->actions().size(), 3);
    EXPECT_FALSE(dynamic_cast<qt::QtWindow&>(frm.window()).widget()->findChild<QMenuBar*>()->isVisible());
}

TEST_F(QtTrayMenu, XChoosesExitWhileThePopupIsOpen) {
    QTimer::singleShot(100, [this] {
        QMenu* m = popup();
        ASSERT_TRUE(m->isVisible());
        QKeyEvent x(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
        QApplication::sendEvent(m, &x);
    });
    QTimer::singleShot(3000, [this] { popup()->close(); });  // never hang the suite
    frm.window().popupMenu("mnuAbout");
    EXPECT_FALSE(frm.loaded()) << "exit unloaded the main window";
    EXPECT_TRUE(fakeUi.ended);
}

}  // namespace
}  // namespace stock::test
