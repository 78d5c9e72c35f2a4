// The main window over doubles, as the user reaches it: its timer, buttons,
// menu entries, list and tray icon, with the About window beside it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/about/frm_about.h"
#include "core/main_window/frm_clipboard.h"
#include "support/about_fakes.h"
#include "support/fakes.h"

namespace stock::test {

using Rows = std::vector<std::u16string>;

struct MainWindow : ::testing::Test, AboutDoubles {
    FakeClipboard clipboard;
    FakeInstanceLock lock;
    FakeTray tray;
    FakeStore store;
    FrmAbout about{{fakeUi, lifetime, userName, shell, programs, registry, messageBox}};
    FrmClipboard frm{{fakeUi, clipboard, lock, lifetime, &about, &tray, &store}};

    void SetUp() override { frm.load(); }
    FakeWindow& win() { return fakeUi.window("frmClipboard"); }
    void click(const char* control) { win().button(control).click(); }
    void tick() { win().timer("Timer1").click(); }
    // Another program puts the text on the clipboard; the timer ticks twice.
    void take(const std::u16string& text) {
        clipboard.text = text;
        tick();
        tick();
    }
    std::u16string currentClip() { return win().textBox("RichTextBox2").text().str(); }
    Rows rows() { return win().listBox("List1").shown(); }
    FakeTextBox& box() { return win().textBox("RichTextBox1"); }
};

}  // namespace stock::test
