#pragma once
// The main window with real widgets and the real clipboard of the X server.

#include <gtest/gtest.h>

#include <QWidget>

#include "doubles/fakes.h"
#include "main_window/frm_clipboard.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/qt_window.h"
#include "qt/qt_helpers.h"

namespace stock::test {

struct QtMainWindow : ::testing::Test {
    Log log;
    qt::QtUi ui;
    qt::QtClipboard clipboard;
    FakeInstanceLock lock{log};
    FakeUi ending{log};  // ending the process here would end the test's event loops
    Lifetime lifetime{ending};
    FrmClipboard frm{{ui, clipboard, lock, lifetime, nullptr}};

    void SetUp() override {
        frm.load();
        ASSERT_TRUE(waitFor([&] { return widget()->isVisible(); }));
    }
    qt::QtWindow& win() { return dynamic_cast<qt::QtWindow&>(frm.window()); }
    QWidget* widget() { return win().widget(); }
    QWidget* control(const char* name) { return win().control(name); }
    double tpp() const { return ui.twipsPerPixelX(); }
};

}  // namespace stock::test
