#include "ui/win32/win32_text_box.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>

#include "core/text/box_edit.h"
#include "core/text/text_map.h"
#include "os/windows/win32_text.h"

namespace stock::win32 {
namespace {

// The control's form of a text: every line break one CR.
std::u16string toControl(std::u16string_view exact) { return toDisplay(exact, u'\r'); }

LRESULT CALLBACK boxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* box = reinterpret_cast<Win32TextBox*>(data);
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    switch (msg) {
        case WM_KEYDOWN:
            if (ctrl && (wp == 'C' || wp == VK_INSERT) && box->command(EditCommand::Copy)) return 0;
            if (ctrl && wp == 'X' && box->command(EditCommand::Cut)) return 0;
            if (shift && wp == VK_DELETE && box->command(EditCommand::Cut)) return 0;
            if (((ctrl && wp == 'V') || (shift && wp == VK_INSERT)) && box->command(EditCommand::Paste)) return 0;
            break;
        case WM_CHAR:
            // The control characters of the keys above were handled there.
            if (wp == 3 || wp == 22 || wp == 24) return 0;
            break;
        case WM_COPY:
            if (box->command(EditCommand::Copy)) return 0;
            break;
        case WM_CUT:
            if (box->command(EditCommand::Cut)) return 0;
            break;
        case WM_PASTE:
            if (box->command(EditCommand::Paste)) return 0;
            break;
        case WM_CLEAR:
            if (box->command(EditCommand::Delete)) return 0;
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

Win32TextBox::Win32TextBox(HWND box, std::size_t displayLimit) : box_(box), displayLimit_(displayLimit) {
    SendMessageW(box_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    SendMessageW(box_, EM_SETEVENTMASK, 0, ENM_CHANGE);
    SetWindowSubclass(box_, boxProc, 1, reinterpret_cast<DWORD_PTR>(this));
    shown_ = shownText();
}

Win32TextBox::~Win32TextBox() {
    if (box_ && IsWindow(box_)) RemoveWindowSubclass(box_, boxProc, 1);
}

std::u16string Win32TextBox::shownText() const {
    if (!box_) return {};
    GETTEXTLENGTHEX len = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    const auto n = SendMessageW(box_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0);
    if (n <= 0) return {};
    std::wstring buffer(static_cast<std::size_t>(n) + 1, L'\0');
    GETTEXTEX get = {};
    get.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    get.flags = GT_DEFAULT;
    get.codepage = 1200;
    const auto got =
        SendMessageW(box_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
    return fromWide(buffer);
}

void Win32TextBox::setText(SharedText text) {
    if (text == exact_) return;
    exact_ = std::move(text);
    const bool readOnly = box_ && (GetWindowLongW(box_, GWL_STYLE) & ES_READONLY);
    const std::u16string_view t = readOnly ? shownPart(exact_.view(), displayLimit_) : exact_.view();
    if (box_) {
        applying_ = true;
        const std::u16string w = toControl(t);
        SETTEXTEX set = {ST_DEFAULT, 1200};
        SendMessageW(box_, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(w.c_str()));
        SendMessageW(box_, EM_EMPTYUNDOBUFFER, 0, 0);
        applying_ = false;
        shown_ = shownText();
    }
    fire();
}

std::size_t Win32TextBox::selection(std::size_t& from, std::size_t& to) const {
    CHARRANGE r = {0, 0};
    if (box_) SendMessageW(box_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    const std::u16string_view t = exact_.view();
    from = exactOffset(t, static_cast<std::size_t>(std::max<LONG>(r.cpMin, 0)));
    to = exactOffset(t, static_cast<std::size_t>(std::max<LONG>(r.cpMax, 0)));
    if (to < from) std::swap(from, to);
    return static_cast<std::size_t>(std::max<LONG>(std::min(r.cpMin, r.cpMax), 0));
}

void Win32TextBox::showEdit(const Reshow& r, std::ptrdiff_t grown, std::size_t caret) {
    const std::u16string w = shownSpan(exact_.view(), r.from, r.newTo, u'\r');
    applying_ = true;
    CHARRANGE range = {static_cast<LONG>(r.shownFrom),
                       static_cast<LONG>(static_cast<std::ptrdiff_t>(r.shownTo) + grown)};
    SendMessageW(box_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(box_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(w.c_str()));
    const auto at = static_cast<LONG>(r.shownFrom + shownUnits(exact_.view(), r.from, caret));
    range = {at, at};
    SendMessageW(box_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    applying_ = false;
    shown_ = shownText();
}

std::size_t Win32TextBox::selLength() const {
    std::size_t a = 0, b = 0;
    selection(a, b);
    return b - a;
}

SharedText Win32TextBox::selText() const {
    std::size_t a = 0, b = 0;
    selection(a, b);
    if (a == 0 && b == exact_.size()) return exact_;
    return SharedText(std::u16string(exact_.view().substr(a, b - a)));
}

void Win32TextBox::setSelText(const SharedText& text) {
    std::size_t a = 0, b = 0;
    const std::size_t shownA = selection(a, b);
    const SharedText before = exact_;
    exact_ = SharedText(spliced(before.view(), a, b, text.view()));
    if (box_) showEdit(reshowFor(before.view(), exact_.view(), a, b, shownA), 0, a + text.size());
    fire();
}

void Win32TextBox::onEditCommand(EditCommand c, Handler h) {
    keep(commands_[static_cast<std::size_t>(c)], std::move(h));
}

void Win32TextBox::dropHandlers() {
    change_ = nullptr;
    commands_ = {};
    box_ = nullptr;
}

bool Win32TextBox::command(EditCommand c) {
    const Handler& h = commands_[static_cast<std::size_t>(c)];
    if (!h) return false;
    invoke(h);
    return true;
}

void Win32TextBox::controlChanged() {
    if (applying_ || !box_) return;
    // The user edited: carry the edit over to the exact text. The control
    // reports no more than that it changed, so the edit is the run in which
    // it changed; a line break typed in it is CR LF.
    std::u16string now = shownText();
    const auto grown = static_cast<std::ptrdiff_t>(now.size()) - static_cast<std::ptrdiff_t>(shown_.size());
    ExactEdit e = applyBoxEdit(exact_.view(), changedRun(shown_, now), u'\r', u"\r\n");
    shown_ = std::move(now);
    if (e.text == exact_.view()) return;
    exact_ = SharedText(std::move(e.text));
    // In a line that hides units the control shows what it was given, not
    // what the exact text now shows: that line is shown again.
    const Reshow& r = e.reshow;
    if (r.wholeLines) showEdit(r, grown, e.from + e.inserted.size());
    fire();
}

void Win32TextBox::fire() { invoke(change_); }

}  // namespace stock::win32
