#include "ui/win32/win32_filter_field.h"

#include <commctrl.h>

#include "os/windows/win32_text.h"

namespace stock::win32 {
namespace {

// The keys that move through a list's rows: in the field they move the
// list's current row as they would in the list itself.
bool movesRows(WPARAM key) {
    return key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT || key == VK_HOME || key == VK_END;
}

bool isEscapeDown(LPARAM lp) {
    const auto* m = reinterpret_cast<const MSG*>(lp);
    return m && m->message == WM_KEYDOWN && m->wParam == VK_ESCAPE;
}

}  // namespace

Win32FilterField::Win32FilterField(HWND parent, HWND list, UINT_PTR id) : list_(list) {
    edit_ = CreateWindowExW(0, WC_EDITW, L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(id), nullptr, nullptr);
    count_ = CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | SS_RIGHT | SS_CENTERIMAGE | SS_NOPREFIX, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(id + 1), nullptr, nullptr);
    if (edit_) SetWindowSubclass(edit_, editProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

Win32FilterField::~Win32FilterField() {
    if (edit_ && IsWindow(edit_)) RemoveWindowSubclass(edit_, editProc, 1);
}

LRESULT CALLBACK Win32FilterField::editProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* field = reinterpret_cast<Win32FilterField*>(data);
    switch (msg) {
        case WM_GETDLGCODE:
            // Esc is the field's own, not the window's cancel key.
            if (isEscapeDown(lp)) return DefSubclassProc(hwnd, msg, wp, lp) | DLGC_WANTMESSAGE;
            break;
        case WM_KEYDOWN:
            if (wp == VK_ESCAPE) {
                invoke(field->escape_);
                return 0;
            }
            if (movesRows(wp) && field->list_) {
                SendMessageW(field->list_, WM_KEYDOWN, wp, lp);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wp == 0x1B) return 0;  // Esc was handled as a key
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

void Win32FilterField::open(const std::u16string& text) {
    if (!edit_) return;
    open_ = true;
    applying_ = true;
    SetWindowTextW(edit_, toWide(text).c_str());
    applying_ = false;
    // Above the list, which it lies over.
    SetWindowPos(count_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetWindowPos(edit_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetFocus(edit_);
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(edit_));
    SendMessageW(edit_, EM_SETSEL, end, static_cast<LPARAM>(end));
}

void Win32FilterField::close() {
    if (!edit_) return;
    open_ = false;
    const HWND focus = GetFocus();
    ShowWindow(edit_, SW_HIDE);
    ShowWindow(count_, SW_HIDE);
    if (focus == edit_ || focus == nullptr) SetFocus(list_);
}

std::u16string Win32FilterField::text() const {
    if (!edit_) return {};
    std::wstring buffer(static_cast<std::size_t>(GetWindowTextLengthW(edit_)) + 1, L'\0');
    const int n = GetWindowTextW(edit_, buffer.data(), static_cast<int>(buffer.size()));
    buffer.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return fromWide(buffer);
}

void Win32FilterField::setCount(const std::u16string& count) {
    if (count_) SetWindowTextW(count_, toWide(count).c_str());
}

void Win32FilterField::place(const RECT& field, int countWidth, HFONT font) {
    if (!edit_) return;
    const int w = field.right - field.left, h = field.bottom - field.top;
    SetWindowPos(edit_, nullptr, field.left, field.top, w - countWidth, h, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(count_, nullptr, field.right - countWidth, field.top, countWidth, h, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageW(count_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Win32FilterField::controlChanged() {
    if (!applying_ && open_) invoke(edited_);
}

void Win32FilterField::dropHandlers() {
    edited_ = escape_ = nullptr;
    edit_ = count_ = list_ = nullptr;
}

}  // namespace stock::win32
