// The main window in process under Wine: its answer to a change of DPI
// (Wine never moves a window between monitors of different DPI itself, so
// the test sends the two messages Windows sends then), and its edit box.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "core/main_window/frm_clipboard_layout.h"
#include "core/layout/layout.h"
#include "core/text/text_map.h"
#include "os/windows/win32_text.h"
#include "support/every_kind_form.h"
#include "ui/win32/win32_text_box.h"
#include "ui/win32/win32_ui.h"

namespace stock::win32 {
namespace {

PixelRect placeOf(HWND parent, HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

PixelRect pixelsOf(const ControlSpec& c, UINT dpi) {
    return twipsToPixels(c.left, c.top, c.width, c.height, 1440.0 / dpi);
}

int fontHeight(HWND child) {
    LOGFONTW lf = {};
    auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
    if (!font || !GetObjectW(font, sizeof lf, &lf)) return 0;
    return std::abs(lf.lfHeight);
}

TEST(DpiChange, ControlsFontsAndWindowFollowTheNewDpi) {
    Win32Ui ui;
    const FormSpec& form = frmClipboardLayout();
    auto window = ui.createWindow(form);
    HWND hwnd = static_cast<Win32Window&>(*window).hwnd();
    ASSERT_TRUE(hwnd);
    const UINT before = GetDpiForWindow(hwnd) ? GetDpiForWindow(hwnd) : 96;
    const UINT after = before * 3 / 2;

    // Every child window, with the font it had, by its layout rectangle.
    struct Child {
        HWND hwnd;
        const ControlSpec* control;
        int font;
    };
    std::vector<Child> children;
    for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        for (const ControlSpec& s : form.controls)
            if (pixelsOf(s, before) == placeOf(hwnd, c)) children.push_back({c, &s, fontHeight(c)});
    ASSERT_GE(children.size(), 12u) << "buttons, list and text boxes where the layout puts them";

    RECT outer = {};
    GetWindowRect(hwnd, &outer);
    SIZE size = {};
    ASSERT_TRUE(SendMessageW(hwnd, WM_GETDPISCALEDSIZE, after, reinterpret_cast<LPARAM>(&size)));
    // The outer height keeps its twips; the width grows with the client area.
    EXPECT_NEAR(size.cy, (outer.bottom - outer.top) * 1.5, 1.0);
    EXPECT_GT(size.cx, (outer.right - outer.left) * 1.4);
    RECT suggested = {outer.left, outer.top, outer.left + size.cx, outer.top + size.cy};
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(after, after), reinterpret_cast<LPARAM>(&suggested));

    RECT now = {};
    GetWindowRect(hwnd, &now);
    EXPECT_EQ(now.right - now.left, size.cx);
    EXPECT_EQ(now.bottom - now.top, size.cy);
    for (const Child& c : children) {
        EXPECT_EQ(placeOf(hwnd, c.hwnd), pixelsOf(*c.control, after))
            << c.control->name << " is not placed from its twips at " << after << " DPI";
        EXPECT_NEAR(fontHeight(c.hwnd), c.font * 1.5, 1.0) << c.control->name << "'s font";
    }
    window->destroy();
}

// Typed over the first of a run of marks of which the control shows the
// start: the hidden ones stay in the exact text and the run shows its first
// marks again.
TEST(Win32TextBox, TypingAmongHiddenMarksKeepsThemAndTheControlShowsTheRunsStart) {
    Win32Ui ui;
    auto window = ui.createWindow(frmClipboardLayout());
    auto& box = static_cast<Win32TextBox&>(window->textBox("RichTextBox1"));
    const std::u16string marks(40, u'\u0301');
    box.setText(SharedText(u"a" + marks + u"b"));
    SendMessageW(box.hwnd(), EM_SETSEL, 1, 2);
    SendMessageW(box.hwnd(), WM_CHAR, 'y', 0);
    const std::u16string now = u"ay" + marks.substr(1) + u"b";
    EXPECT_EQ(box.text().str(), now);
    wchar_t shown[64] = {};
    GetWindowTextW(box.hwnd(), shown, 64);
    EXPECT_EQ(fromWide(shown), toDisplay(now));
    window->destroy();
}

// destroy() drops every handler the window and its controls keep and takes
// no new one: a text set afterwards changes nothing that runs.
TEST(Win32Window, DestroyDropsEveryHandlerAndTakesNoNewOne) {
    Win32Ui ui;
    auto window = ui.createWindow(test::everyKindForm());
    auto token = std::make_shared<int>(0);
    int ran = 0;
    const Handler handler = [token, &ran] { ++ran; };
    test::giveEveryHandler(*window, handler);
    window->textBox("box").setText(SharedText(u"before"));
    ASSERT_EQ(ran, 1) << "the handlers are in place";
    window->destroy();
    EXPECT_EQ(token.use_count(), 2) << "the test's own handler and token: every other copy is gone";
    test::giveEveryHandler(*window, handler);
    EXPECT_EQ(token.use_count(), 2) << "none taken after destroy()";
    window->textBox("box").setText(SharedText(u"after"));
    window->popupMenu("top");
    EXPECT_EQ(ran, 1);
}

}  // namespace
}  // namespace stock::win32
