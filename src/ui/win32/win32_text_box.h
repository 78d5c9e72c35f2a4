// A RichEdit (Msftedit) box that hands back exactly the text it was given.
// The control keeps every line break as a lone CR; the exact text is kept
// beside it and follows every edit, so CR LF, lone CR, LF and U+2029 survive.
#pragma once

#include <windows.h>

#include <array>
#include <functional>

#include "core/ports/controls.h"
#include "core/text/text_map.h"
#include "ui/win32/win32_port.h"

namespace stock::win32 {

class Win32TextBox final : public TextBox, public InertControl {
public:
    // A read-only box shows at most `displayLimit` code units (0: all).
    Win32TextBox(HWND box, std::size_t displayLimit);
    ~Win32TextBox() override;

    SharedText text() const override { return exact_; }
    void setText(SharedText text) override;
    std::size_t selLength() const override;
    SharedText selText() const override;
    void setSelText(const SharedText& text) override;
    void onChange(Handler handler) override { keep(change_, std::move(handler)); }
    void onEditCommand(EditCommand command, Handler handler) override;

    // The control reported a change (EN_CHANGE).
    void controlChanged();
    HWND hwnd() const { return box_; }
    // A key or message of the box that names an editing command; true when a
    // handler took it.
    bool command(EditCommand c);

private:
    void dropHandlers() override;
    std::u16string shownText() const;
    // The selection in exact code units; returns the display position of its start.
    std::size_t selection(std::size_t& from, std::size_t& to) const;
    // Puts an edit of the exact text into the control, where [r.shownFrom,
    // r.shownTo + grown) stands for it now, and the caret at exact offset
    // `caret`.
    void showEdit(const Reshow& r, std::ptrdiff_t grown, std::size_t caret);
    void fire();

    HWND box_;
    std::size_t displayLimit_;
    SharedText exact_;
    std::u16string shown_;  // what the control holds, as it reports it
    bool applying_ = false;
    Handler change_;
    std::array<Handler, static_cast<std::size_t>(EditCommand::Delete) + 1> commands_;
};

}  // namespace stock::win32
