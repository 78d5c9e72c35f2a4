// The filter field over a list box: a one-line EDIT and, at its right end, a
// STATIC with the count of matching rows. Both are hidden until opened.
#pragma once

#include <windows.h>

#include <string>

#include "core/ports/controls.h"
#include "ui/win32/win32_port.h"

namespace stock::win32 {

class Win32FilterField final : public FilterField, public InertControl {
public:
    // The field's EDIT gets the control id `id`, its count `id + 1`; the keys
    // that move through rows go on to `list`.
    Win32FilterField(HWND parent, HWND list, UINT_PTR id);
    ~Win32FilterField() override;

    void open(const std::u16string& text) override;
    void close() override;
    std::u16string text() const override;
    void setCount(const std::u16string& count) override;
    void onEdited(Handler handler) override { keep(edited_, std::move(handler)); }
    void onEscape(Handler handler) override { keep(escape_, std::move(handler)); }

    // The field in `field` of the parent's client area, the count taking
    // `countWidth` pixels of its right end, both in `font`.
    void place(const RECT& field, int countWidth, HFONT font);
    HWND edit() const { return edit_; }
    // The EDIT reported a change (EN_CHANGE).
    void controlChanged();

private:
    static LRESULT CALLBACK editProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data);
    void dropHandlers() override;

    HWND edit_ = nullptr, count_ = nullptr, list_ = nullptr;
    bool open_ = false;
    bool applying_ = false;  // the text is being set, not edited
    Handler edited_, escape_;
};

}  // namespace stock::win32
