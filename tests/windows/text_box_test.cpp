// The main window's text boxes in process under Wine: the RichEdit control
// holds the display form of the text (a long run of marks shows its start),
// a selection maps to the exact text, and typing among hidden marks keeps
// them while the control shows the line anew.
#include <gtest/gtest.h>
#include <richedit.h>
#include <windows.h>

#include <string>

#include "main_window/frm_clipboard_layout.h"
#include "platform/text_map.h"
#include "platform/win32/win32_text_box.h"
#include "platform/win32/win32_ui.h"

namespace stock::win32 {
namespace {

std::u16string controlText(HWND box) {
    GETTEXTLENGTHEX len = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    const auto n = SendMessageW(box, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0);
    std::u16string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, u'\0');
    GETTEXTEX get = {};
    get.cb = static_cast<DWORD>(text.size() * sizeof(char16_t));
    get.flags = GT_DEFAULT;
    get.codepage = 1200;
    const auto got =
        SendMessageW(box, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

void select(HWND box, LONG from, LONG to) {
    CHARRANGE r = {from, to};
    SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

TEST(Win32TextBox, ShowsTheStartOfALongRunOfMarksAndKeepsTheRestExact) {
    Win32Ui ui;
    auto window = ui.createWindow(frmClipboardLayout());
    auto& box = static_cast<Win32TextBox&>(window->textBox("RichTextBox1"));
    const std::u16string marks(65535, u'\u0301');
    const std::u16string text = u"a" + marks + u"b\r\nc";
    box.setText(SharedText(text));
    EXPECT_TRUE(controlText(box.hwnd()) == toDisplay(text, u'\r'));
    select(box.hwnd(), 0, static_cast<LONG>(kShownMarks + 1));
    EXPECT_EQ(box.selText().size(), 65536u) << "the cluster with every mark";

    // Typed after the last mark shown: after the hidden ones too.
    select(box.hwnd(), static_cast<LONG>(kShownMarks + 1), static_cast<LONG>(kShownMarks + 1));
    SendMessageW(box.hwnd(), WM_CHAR, 'x', 0);
    EXPECT_TRUE(box.text() == u"a" + marks + u"xb\r\nc");
    EXPECT_TRUE(controlText(box.hwnd()) == toDisplay(box.text().view(), u'\r'));
    // Typed over the first mark: the run shows its first marks again.
    select(box.hwnd(), 1, 2);
    SendMessageW(box.hwnd(), WM_CHAR, 'y', 0);
    const std::u16string now = u"ay" + marks.substr(1) + u"xb\r\nc";
    EXPECT_TRUE(box.text() == now);
    EXPECT_TRUE(controlText(box.hwnd()) == toDisplay(now, u'\r'));
}

}  // namespace
}  // namespace stock::win32
