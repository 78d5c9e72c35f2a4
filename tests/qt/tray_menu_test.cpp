// The tray popup's access key X is run end to end.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>

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

}  // namespace
}  // namespace stock::test
