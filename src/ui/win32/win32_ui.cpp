#include "ui/win32/win32_ui.h"

#include "core/guard/guard.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

#include "core/main_window/frm_clipboard_layout.h"
#include "core/text/text_map.h"
#include "ui/win32/program_icon.h"
#include "os/windows/win32_text.h"
#include "ui/win32/win32_filter_field.h"
#include "ui/win32/win32_text_box.h"

namespace stock::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"stockkun.window";
constexpr wchar_t kOwnerClass[] = L"stockkun.owner";
constexpr UINT_PTR kFirstControlId = 100;
constexpr UINT kFirstMenuId = 1000;
constexpr UINT_PTR kFirstFilterId = 900;  // two ids for each filter field
constexpr UINT kRunSoon = WM_APP + 1;     // to the owner window: runSoon's handlers wait
constexpr UINT_PTR kRunSoonTimer = 1;

COLORREF toColor(Rgb c) { return RGB(c.r, c.g, c.b); }

UINT dpiOf(HWND hwnd) {
    const UINT dpi = hwnd ? GetDpiForWindow(hwnd) : GetDpiForSystem();
    return dpi ? dpi : 96;
}

HFONT makeFont(const FontSpec& f, UINT dpi, int weight) {
    return CreateFontW(-static_cast<int>(std::lround(f.points * dpi / 72.0)), 0, 0, 0, weight, f.italic, f.underline,
                       f.strikeOut, static_cast<DWORD>(f.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH, toWide(f.family).c_str());
}

HFONT messageFont(UINT dpi) {
    NONCLIENTMETRICSW m = {};
    m.cbSize = sizeof m;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0, dpi)) return nullptr;
    return CreateFontIndirectW(&m.lfMessageFont);
}

}  // namespace

// ---- controls -------------------------------------------------------------

class Win32ListBox final : public ListBox, public InertControl {
public:
    using Typed = std::function<bool(const std::u16string&)>;
    explicit Win32ListBox(HWND w) : w_(w) {
        if (w_) SetWindowSubclass(w_, listProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~Win32ListBox() override {
        if (w_ && IsWindow(w_)) RemoveWindowSubclass(w_, listProc, 1);
    }
    // The LISTBOX keeps its own copy of each row as shown (at most a short
    // preview); the exact texts stay with the rows' owner.
    void setRows(const ListRows* rows) override {
        rows_ = rows;
        if (!w_) return;
        SendMessageW(w_, LB_RESETCONTENT, 0, 0);
        for (std::size_t i = 0; rows_ && i < rows_->size(); ++i) add(i);
    }
    void rowInserted(std::size_t index) override {
        if (w_ && rows_) add(index);
    }
    void rowsAppended(std::size_t count) override {
        if (!w_ || !rows_) return;
        const std::size_t size = rows_->size();
        for (std::size_t i = size - std::min(count, size); i < size; ++i) add(i);
    }
    void rowsCleared() override { setRows(rows_); }
    long currentIndex() const override {
        if (!w_) return -1;
        const auto i = SendMessageW(w_, LB_GETCURSEL, 0, 0);
        return i == LB_ERR ? -1 : static_cast<long>(i);
    }
    // LB_SETCURSEL sends no LBN_SELCHANGE: the click handler does not run.
    void setCurrentIndex(long row) override {
        if (w_) SendMessageW(w_, LB_SETCURSEL, static_cast<WPARAM>(row < 0 ? -1 : row), 0);
    }
    void setHorizontalExtent(int pixels) override {
        if (w_) SendMessageW(w_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(std::max(pixels, 0)), 0);
    }
    void onClick(Handler h) override { keep(click, std::move(h)); }
    void onTyped(Typed h) override {
        if (!dropped()) typed_ = std::move(h);
    }

    Handler click;

private:
    static LRESULT CALLBACK listProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
        auto* list = reinterpret_cast<Win32ListBox*>(data);
        // Typed text that its handler takes does not reach the list's own
        // search by first letter.
        if (msg == WM_CHAR && list->typed_ && list->typed(static_cast<char16_t>(wp))) return 0;
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    // A character outside the BMP comes as two WM_CHARs; it goes on whole,
    // and its first half is held until then.
    bool typed(char16_t unit) {
        const bool high = unit >= 0xD800 && unit < 0xDC00, low = unit >= 0xDC00 && unit < 0xE000;
        std::u16string text;
        if (pendingHigh_ && low)
            text.push_back(*pendingHigh_);
        else if (pendingHigh_)
            deliver(std::u16string(1, *pendingHigh_));
        pendingHigh_.reset();
        if (high) {
            pendingHigh_ = unit;
            return true;
        }
        text.push_back(unit);
        return deliver(text);
    }
    bool deliver(const std::u16string& text) const {
        bool taken = false;
        callGuarded("list typing", std::function<void()>([&] { taken = typed_(text); }));
        return taken;
    }
    void dropHandlers() override {
        click = nullptr;
        typed_ = nullptr;
        w_ = nullptr;
    }
    void add(std::size_t index) {
        const std::wstring row = toWide(rows_->shown(index));
        SendMessageW(w_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(row.c_str()));
    }

    HWND w_;
    const ListRows* rows_ = nullptr;
    Typed typed_;
    std::optional<char16_t> pendingHigh_;
};

class Win32Button final : public Button, public InertControl {
public:
    explicit Win32Button(HWND w) : w_(w) {}
    std::u16string caption() const override { return caption_.empty() && w_ ? read() : caption_; }
    void setCaption(const std::u16string& c) override {
        caption_ = c;
        if (w_) SetWindowTextW(w_, toWide(c).c_str());
    }
    void onClick(Handler h) override { keep(click, std::move(h)); }
    Handler click;

private:
    void dropHandlers() override {
        click = nullptr;
        w_ = nullptr;
    }
    std::u16string read() const {
        wchar_t buffer[256] = {};
        GetWindowTextW(w_, buffer, 256);
        return fromWide(buffer);
    }
    HWND w_;
    std::u16string caption_;
};

// A label drawn on the window's surface, in `rect` of its client area.
class DrawnLabel final : public Label, public InertControl {
public:
    DrawnLabel(const ControlSpec& control, HWND owner, const RECT& rect)
        : control_(control), owner_(owner), rect_(rect) {}
    std::u16string caption() const override { return control_.caption; }
    void setBold(bool b) override {
        if (b == bold_) return;
        bold_ = b;
        if (owner_) InvalidateRect(owner_, &rect_, TRUE);
    }
    bool bold() const override { return bold_; }
    void onClick(Handler h) override { keep(click, std::move(h)); }
    void onMouseMove(Handler h) override { keep(move, std::move(h)); }
    Handler click, move;

private:
    void dropHandlers() override {
        click = move = nullptr;
        owner_ = nullptr;
    }
    const ControlSpec& control_;
    HWND owner_;
    const RECT& rect_;
    bool bold_ = false;
};

class Win32MenuEntry final : public MenuEntry, public InertControl {
public:
    explicit Win32MenuEntry(std::u16string caption) : text(std::move(caption)) {}
    std::u16string caption() const override { return text; }
    void setCaption(const std::u16string& c) override { text = c; }
    bool visible() const override { return shown; }
    void setVisible(bool v) override { shown = v; }
    void onClick(Handler h) override { keep(click, std::move(h)); }
    std::u16string text;
    bool shown = true;
    Handler click;

private:
    void dropHandlers() override { click = nullptr; }
};

class Win32Timer final : public Timer, public InertControl {
public:
    void onTick(Handler h) override { keep(tick, std::move(h)); }
    Handler tick;

private:
    void dropHandlers() override { tick = nullptr; }
};

struct Win32Window::Impl {
    UINT dpi = 96;
    HBRUSH back = nullptr;
    HFONT defaultFont = nullptr;
    // A control of the layout and what the window keeps of it at its DPI.
    struct Control {
        const ControlSpec* layout = nullptr;
        std::unique_ptr<InertControl> port;        // none for a line or an image
        HWND child = nullptr;                      // buttons, lists and text boxes
        RECT rect{};                               // in the client area
        HFONT font = nullptr, boldFont = nullptr;  // when it has a font of its own
        HBRUSH backBrush = nullptr;                // when it has a background colour
        Control() = default;
        Control(const Control&) = delete;
        Control& operator=(const Control&) = delete;
        ~Control() {
            if (font) DeleteObject(font);
            if (boldFont) DeleteObject(boldFont);
            if (backBrush) DeleteObject(backBrush);
        }
        template <class Kind>
        Kind* as() const {
            return dynamic_cast<Kind*>(port.get());
        }
    };
    std::map<std::string, Control, std::less<>> controls;
    std::map<HWND, Control*> byChild;
    std::map<UINT_PTR, Control*> byTimer;
    std::map<std::string, std::unique_ptr<Win32MenuEntry>, std::less<>> menu;
    // The filter fields, by the name of the list they lie over.
    std::map<std::string, std::unique_ptr<Win32FilterField>, std::less<>> filters;
    Handler closeRequest, mouseMove, find;
    HICON dpiIconBig = nullptr, dpiIconSmall = nullptr;  // set after a DPI change

    double tpp() const { return twipsPerPixelAt(dpi); }
    PixelRect rectOf(const ControlSpec& c) const { return twipsToPixels(c.left, c.top, c.width, c.height, tpp()); }
    // The control's font at the window's DPI, bold or as the layout has it.
    HFONT fontOf(const Control& c, bool bold) const {
        const HFONT own = bold ? c.boldFont : c.font;
        return own ? own : defaultFont;
    }

    ~Impl() {
        if (back) DeleteObject(back);
        if (dpiIconBig) DestroyIcon(dpiIconBig);
        if (dpiIconSmall) DestroyIcon(dpiIconSmall);
        if (defaultFont) DeleteObject(defaultFont);
    }
};

namespace {

RECT toRect(const PixelRect& p) { return RECT{p.x, p.y, p.x + p.w, p.y + p.h}; }

// The window's DPI as twips per pixel.
double tppOf(HWND hwnd) { return twipsPerPixelAt(dpiOf(hwnd)); }

// A control with a font of its own gets it at the window's DPI, and a bold
// one beside it for when it is shown bold; the old ones go.
void makeFonts(const Win32Window::Impl& d, Win32Window::Impl::Control& c) {
    if (!c.layout->font) return;
    const HFONT oldFont = c.font, oldBold = c.boldFont;
    c.font = makeFont(*c.layout->font, d.dpi, c.layout->font->weight);
    c.boldFont = makeFont(*c.layout->font, d.dpi, 700);
    if (c.child) SendMessageW(c.child, WM_SETFONT, reinterpret_cast<WPARAM>(d.fontOf(c, false)), TRUE);
    if (oldFont) DeleteObject(oldFont);
    if (oldBold) DeleteObject(oldBold);
}

// A RichEdit's text colour, for what it holds and what is typed into it.
void setTextColour(HWND box, Rgb colour) {
    CHARFORMAT2W cf = {};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR;
    cf.crTextColor = toColor(colour);
    SendMessageW(box, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
    SendMessageW(box, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
}

// ---- DPI changes ----------------------------------------------------------

// Title-bar and Alt+Tab icons at the sizes of a new DPI.
void renewIcons(HWND hwnd, Win32Window::Impl& d, UINT dpi) {
    HICON big = loadProgramIcon(false, dpi), small = loadProgramIcon(true, dpi);
    if (big) SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (small) SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    if (big && d.dpiIconBig) DestroyIcon(d.dpiIconBig);
    if (small && d.dpiIconSmall) DestroyIcon(d.dpiIconSmall);
    if (big) d.dpiIconBig = big;
    if (small) d.dpiIconSmall = small;
}

// A filter field at its twips over the bottom edge of its list, at the
// window's DPI, in the list's font.
void placeFilter(const Win32Window::Impl& d, std::string_view list, Win32FilterField& field) {
    const TwipsRect& t = kFilterFieldTwips;
    const RECT r = toRect(twipsToPixels(t.left, t.top, t.width, t.height, d.tpp()));
    const int countLeft = twipsToPixels(t.left + t.width - kFilterCountWidthTwips, d.tpp());
    field.place(r, r.right - countLeft, d.fontOf(d.controls.find(list)->second, false));
}

// Places every control again from its twips at `dpi` and gives the controls
// and labels fonts made for that DPI.
void placeAgain(HWND hwnd, Win32Window::Impl& d, UINT dpi) {
    d.dpi = dpi;
    // The old default font goes once no control uses it any more.
    const HFONT oldDefault = d.defaultFont;
    d.defaultFont = messageFont(dpi);
    for (auto& [name, c] : d.controls) {
        const PixelRect p = d.rectOf(*c.layout);
        c.rect = toRect(p);
        if (!c.child) {
            makeFonts(d, c);
            continue;
        }
        SetWindowPos(c.child, nullptr, p.x, p.y, p.w, p.h, SWP_NOZORDER | SWP_NOACTIVATE);
        if (!c.layout->font) SendMessageW(c.child, WM_SETFONT, reinterpret_cast<WPARAM>(d.defaultFont), TRUE);
        makeFonts(d, c);
        // The text colour, in case the new font's character format took it.
        if (c.layout->kind == ControlKind::TextBox && c.layout->fore) setTextColour(c.child, *c.layout->fore);
    }
    for (auto& [list, field] : d.filters) placeFilter(d, list, *field);
    if (oldDefault) DeleteObject(oldDefault);
    renewIcons(hwnd, d, dpi);
    InvalidateRect(hwnd, nullptr, TRUE);
}

// The outer size at `dpi`: the client area's width from its twips, the
// outer height kept in twips (the owner sets it in twips).
SIZE outerSizeAt(HWND hwnd, const FormSpec& form, UINT oldDpi, UINT dpi) {
    const auto style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE));
    RECT client = {0, 0, twipsToPixels(form.clientWidth, twipsPerPixelAt(dpi)), 0};
    AdjustWindowRectExForDpi(&client, style, FALSE, exStyle, dpi);
    RECT outer = {};
    GetWindowRect(hwnd, &outer);
    const double heightTwips = (outer.bottom - outer.top) * twipsPerPixelAt(oldDpi);
    return SIZE{client.right - client.left, twipsToPixels(heightTwips, twipsPerPixelAt(dpi))};
}

}  // namespace

// ---- the window -----------------------------------------------------------

namespace {

// Where the window's outer frame of `w` x `h` pixels goes: centred in the
// work area, or wherever the system places a new window.
POINT windowOrigin(const FormSpec& form, int w, int h) {
    POINT at = {CW_USEDEFAULT, CW_USEDEFAULT};
    if (form.centred) {
        RECT work = {};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        at.x = work.left + (work.right - work.left - w) / 2;
        at.y = work.top + (work.bottom - work.top - h) / 2;
    }
    return at;
}

DWORD tabStop(const ControlSpec& c) { return c.tab >= 0 ? WS_TABSTOP : 0; }

HWND createButton(HWND parent, const ControlSpec& c, const PixelRect& p, UINT_PTR id) {
    const DWORD s = WS_CHILD | WS_VISIBLE | tabStop(c) | (c.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    return CreateWindowExW(0, WC_BUTTONW, toWide(c.caption).c_str(), s, p.x, p.y, p.w, p.h, parent,
                           reinterpret_cast<HMENU>(id), nullptr, nullptr);
}

HWND createListBox(HWND parent, const ControlSpec& c, const PixelRect& p, UINT_PTR id) {
    const DWORD s = WS_CHILD | WS_VISIBLE | tabStop(c) | WS_VSCROLL | WS_HSCROLL | WS_BORDER | LBS_NOTIFY |
                    LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
    return CreateWindowExW(0, WC_LISTBOXW, L"", s, p.x, p.y, p.w, p.h, parent, reinterpret_cast<HMENU>(id), nullptr,
                           nullptr);
}

// A RichEdit with the control's font and colours.
HWND createRichEdit(HWND parent, const ControlSpec& c, const PixelRect& p, UINT_PTR id, HFONT font) {
    DWORD s = WS_CHILD | WS_VISIBLE | tabStop(c) | ES_AUTOVSCROLL | (c.readOnly ? ES_READONLY : 0) |
              (c.centred ? ES_CENTER : 0);
    if (c.multiLine)
        s |= ES_MULTILINE | WS_VSCROLL | ES_WANTRETURN | WS_BORDER;
    else
        s |= ES_AUTOHSCROLL;
    HWND child = CreateWindowExW(0, MSFTEDIT_CLASS, L"", s, p.x, p.y, p.w, p.h, parent, reinterpret_cast<HMENU>(id),
                                 nullptr, nullptr);
    if (!child) throw std::runtime_error("no RichEdit control (Msftedit.dll)");
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (c.back) SendMessageW(child, EM_SETBKGNDCOLOR, 0, toColor(*c.back));
    if (c.fore) setTextColour(child, *c.fore);
    return child;
}

void addTextBox(HWND parent, const Win32Window::Impl& d, Win32Window::Impl::Control& control, UINT_PTR id) {
    const ControlSpec& c = *control.layout;
    control.child = createRichEdit(parent, c, d.rectOf(c), id, d.fontOf(control, false));
    auto box = std::make_unique<Win32TextBox>(control.child, c.displayLimit);
    box->setText(SharedText(c.caption));
    control.port = std::move(box);
}

}  // namespace

Win32Window::Win32Window(Win32Ui& ui, const FormSpec& form) : ui_(ui), form_(form), d_(std::make_unique<Impl>()) {
    createNativeWindow(form_);
    buildControls(form_);
    buildMenu(form_);
    ui.windows_.push_back(this);
}

void Win32Window::createNativeWindow(const FormSpec& form) {
    Impl& d = *d_;
    d.back = CreateSolidBrush(toColor(form.back));
    const bool dialog = form.border == Border::FixedDialog;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | (dialog ? WS_DLGFRAME : WS_BORDER);
    const DWORD exStyle =
        WS_EX_CONTROLPARENT | (dialog ? WS_EX_DLGMODALFRAME : 0) | (form.showInTaskbar ? WS_EX_APPWINDOW : 0);
    d.dpi = GetDpiForSystem();
    RECT r = {0, 0, twipsToPixels(form.clientWidth, d.tpp()), twipsToPixels(form.clientHeight, d.tpp())};
    AdjustWindowRectExForDpi(&r, style, FALSE, exStyle, d.dpi);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const POINT at = windowOrigin(form, w, h);
    hwnd_ = CreateWindowExW(exStyle, kWindowClass, toWide(form.caption).c_str(), style, at.x, at.y, w, h,
                            form.showInTaskbar ? nullptr : ui_.owner_, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) throw std::runtime_error("CreateWindowExW failed");
    d.dpi = dpiOf(hwnd_);
    if (ui_.iconBig_) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ui_.iconBig_));
    if (ui_.iconSmall_) SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ui_.iconSmall_));
    d.defaultFont = messageFont(d.dpi);
}

// The child windows in focus order, so that Tab walks them in that order.
void Win32Window::buildControls(const FormSpec& form) {
    UINT_PTR id = kFirstControlId;
    for (const ControlSpec* cp : inFocusOrder(form)) {
        addControl(*cp, id);
        ++id;
    }
}

// One control of the layout: a child window, a timer, or something drawn
// on the window's own surface.
void Win32Window::addControl(const ControlSpec& c, UINT_PTR id) {
    Impl& d = *d_;
    Impl::Control& control = d.controls[c.name];
    control.layout = &c;
    const PixelRect p = d.rectOf(c);
    control.rect = toRect(p);
    makeFonts(d, control);
    if (c.back) control.backBrush = CreateSolidBrush(toColor(*c.back));
    const HFONT font = d.fontOf(control, false);
    switch (c.kind) {
        case ControlKind::Timer:
            SetTimer(hwnd_, id, static_cast<UINT>(std::max(c.intervalMs, 1)), nullptr);
            d.byTimer[id] = &control;
            control.port = std::make_unique<Win32Timer>();
            return;
        case ControlKind::Button:
            control.child = createButton(hwnd_, c, p, id);
            control.port = std::make_unique<Win32Button>(control.child);
            break;
        case ControlKind::ListBox:
            control.child = createListBox(hwnd_, c, p, id);
            control.port = std::make_unique<Win32ListBox>(control.child);
            // A list's window text is its name for accessibility.
            SetWindowTextW(control.child, toWide(c.accessibleName).c_str());
            break;
        case ControlKind::TextBox:
            addTextBox(hwnd_, d, control, id);
            break;
        case ControlKind::Label:
            control.port = std::make_unique<DrawnLabel>(c, hwnd_, control.rect);
            return;
        case ControlKind::Line:
        case ControlKind::Image:
            return;
    }
    if (c.kind != ControlKind::TextBox) SendMessageW(control.child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    d.byChild[control.child] = &control;
}

void Win32Window::buildMenu(const FormSpec& form) {
    for (const MenuSpec& m : form.menu) d_->menu[m.name] = std::make_unique<Win32MenuEntry>(m.caption);
}

Win32Window::~Win32Window() {
    destroy();
    auto& ws = ui_.windows_;
    ws.erase(std::remove(ws.begin(), ws.end(), this), ws.end());
}

namespace {
template <class Kind>
Kind& lookup(const Win32Window::Impl& d, std::string_view name) {
    const auto it = d.controls.find(name);
    Kind* found = it == d.controls.end() ? nullptr : it->second.as<Kind>();
    if (!found) throw std::out_of_range("no control " + std::string(name));
    return *found;
}
}  // namespace

TextBox& Win32Window::textBox(std::string_view name) { return lookup<TextBox>(*d_, name); }
ListBox& Win32Window::listBox(std::string_view name) { return lookup<ListBox>(*d_, name); }
Button& Win32Window::button(std::string_view name) { return lookup<Button>(*d_, name); }
Label& Win32Window::label(std::string_view name) { return lookup<Label>(*d_, name); }
Timer& Win32Window::timer(std::string_view name) { return lookup<Timer>(*d_, name); }

FilterField& Win32Window::filterField(std::string_view listName) {
    Impl& d = *d_;
    if (const auto it = d.filters.find(listName); it != d.filters.end()) return *it->second;
    lookup<ListBox>(d, listName);
    const HWND list = d.controls.find(listName)->second.child;
    auto field = std::make_unique<Win32FilterField>(hwnd_, list, kFirstFilterId + 2 * d.filters.size());
    if (!hwnd_) field->drop();
    placeFilter(d, listName, *field);
    // The list draws nothing over the field once that lies above it.
    if (list) SetWindowLongW(list, GWL_STYLE, GetWindowLongW(list, GWL_STYLE) | WS_CLIPSIBLINGS);
    return *d.filters.emplace(std::string(listName), std::move(field)).first->second;
}

MenuEntry& Win32Window::menuEntry(std::string_view name) {
    const auto it = d_->menu.find(name);
    if (it == d_->menu.end()) throw std::out_of_range("no control " + std::string(name));
    return *it->second;
}

void Win32Window::show() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
}

void Win32Window::hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

bool Win32Window::visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void Win32Window::setForeground() {
    if (hwnd_ && IsWindowVisible(hwnd_)) SetForegroundWindow(hwnd_);
}

bool Win32Window::setTopmost(bool on) {
    if (!hwnd_) return false;
    const BOOL ok =
        SetWindowPos(hwnd_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(hwnd_);
    return ok && topmost() == on;
}

bool Win32Window::topmost() const { return hwnd_ && (GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST); }

static RECT outerRect(HWND hwnd) {
    RECT r = {};
    if (hwnd) GetWindowRect(hwnd, &r);
    return r;
}

int Win32Window::outerHeight() const {
    const RECT r = outerRect(hwnd_);
    return pixelsToTwips(r.bottom - r.top, tppOf(hwnd_));
}

void Win32Window::setOuterHeight(int twips) {
    if (!hwnd_) return;
    const RECT r = outerRect(hwnd_);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, twipsToPixels(twips, tppOf(hwnd_)),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32Window::top() const { return pixelsToTwips(outerRect(hwnd_).top, tppOf(hwnd_)); }
int Win32Window::left() const { return pixelsToTwips(outerRect(hwnd_).left, tppOf(hwnd_)); }

void Win32Window::setTop(int twips) {
    if (!hwnd_) return;
    const RECT r = outerRect(hwnd_);
    SetWindowPos(hwnd_, nullptr, r.left, twipsToPixels(twips, tppOf(hwnd_)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::setLeft(int twips) {
    if (!hwnd_) return;
    const RECT r = outerRect(hwnd_);
    SetWindowPos(hwnd_, nullptr, twipsToPixels(twips, tppOf(hwnd_)), r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {
// The menu tree below entry `at`, as a popup menu; hidden entries are left
// out, and what stands below a hidden entry goes into its parent's menu.
HMENU popupOf(const std::vector<MenuSpec>& menu, std::size_t at,
              const std::map<std::string, std::unique_ptr<Win32MenuEntry>, std::less<>>& entries) {
    const std::vector<MenuNode> tree = menuTree(menu);
    std::vector<HMENU> menus(menu.size(), nullptr);  // where the entries below each one go
    menus[at] = CreatePopupMenu();
    for (std::size_t i = at + 1; i < tree[at].end; ++i) {
        const MenuSpec& m = menu[i];
        const Win32MenuEntry& e = *entries.find(m.name)->second;
        HMENU parent = menus[tree[i].parent];
        menus[i] = parent;
        if (!e.shown) continue;
        if (m.caption == u"-") {
            AppendMenuW(parent, MF_SEPARATOR, 0, nullptr);
        } else if (tree[i].hasChildren(i)) {
            menus[i] = CreatePopupMenu();
            AppendMenuW(parent, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menus[i]), toWide(e.text).c_str());
        } else {
            AppendMenuW(parent, MF_STRING, kFirstMenuId + static_cast<UINT>(i), toWide(e.text).c_str());
        }
    }
    return menus[at];
}
}  // namespace

void Win32Window::popupMenu(std::string_view entry) {
    if (!hwnd_) return;
    const auto& menu = form_.menu;
    std::size_t at = 0;
    while (at < menu.size() && menu[at].name != entry) ++at;
    if (at == menu.size()) return;
    HMENU root = popupOf(menu, at, d_->menu);
    POINT pt = {};
    GetCursorPos(&pt);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(root, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, pt.x, pt.y, 0, hwnd_, nullptr));
    DestroyMenu(root);
    if (hwnd_) PostMessageW(hwnd_, WM_NULL, 0, 0);
    if (chosen >= kFirstMenuId && chosen - kFirstMenuId < menu.size()) {
        const Handler h = d_->menu[menu[chosen - kFirstMenuId].name]->click;
        invoke(h);
    }
}

void Win32Window::onCloseRequest(Handler h) {
    if (hwnd_) d_->closeRequest = std::move(h);
}
void Win32Window::onMouseMove(Handler h) {
    if (hwnd_) d_->mouseMove = std::move(h);
}
void Win32Window::onFind(Handler h) {
    if (hwnd_) d_->find = std::move(h);
}

bool Win32Window::takeFind(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != 'F' || !d_->find) return false;
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return false;
    const Handler h = d_->find;
    invoke(h);
    return true;
}

void Win32Window::destroy() {
    if (!hwnd_) return;
    HWND w = hwnd_;
    hwnd_ = nullptr;
    // Every handler goes with the window, so nothing runs from here on.
    for (auto& [name, c] : d_->controls)
        if (c.port) c.port->drop();
    for (auto& [name, e] : d_->menu) e->drop();
    for (auto& [name, f] : d_->filters) f->drop();
    d_->closeRequest = d_->mouseMove = d_->find = nullptr;
    SetWindowLongPtrW(w, GWLP_USERDATA, 0);
    DestroyWindow(w);
}

LRESULT CALLBACK Win32Window::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        reinterpret_cast<Win32Window*>(cs->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || !self->hwnd_) return DefWindowProcW(hwnd, msg, wp, lp);
    try {
        return self->handle(msg, wp, lp);
    } catch (...) {
        reportFailure("window procedure");
        return 0;  // no failure reaches the message loop
    }
}

namespace {

void paintLabel(HDC dc, const Win32Window::Impl::Control& control, const Win32Window::Impl& d) {
    const ControlSpec& c = *control.layout;
    RECT r = control.rect;
    if (c.transparent) {
        SetBkMode(dc, TRANSPARENT);
    } else {
        SetBkMode(dc, OPAQUE);
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    }
    SetTextColor(dc, c.fore ? toColor(*c.fore) : GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ old = SelectObject(dc, d.fontOf(control, control.as<Label>()->bold()));
    const std::wstring text = toWide(c.caption);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_WORDBREAK | DT_NOPREFIX | (c.centred ? DT_CENTER : DT_LEFT));
    SelectObject(dc, old);
}

void paintLine(HDC dc, const ControlSpec& c, const RECT& r) {
    HPEN pen = CreatePen(PS_SOLID, 1,
                         GetSysColor(c.lineColour == SystemColour::ScrollBar ? COLOR_SCROLLBAR : COLOR_WINDOWTEXT));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, r.left, r.top, nullptr);
    LineTo(dc, r.right == r.left ? r.left : r.right, r.bottom == r.top ? r.top : r.bottom);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void paintImage(HDC dc, const RECT& r, HICON icon) {
    DrawIconEx(dc, r.left, r.top, icon, r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
}

}  // namespace

LRESULT Win32Window::handle(UINT msg, WPARAM wp, LPARAM lp) {
    HWND hwnd = hwnd_;
    std::optional<LRESULT> result;
    switch (msg) {
        case WM_ENDSESSION:
            if (wp) invoke(ui_.sessionEnd_);
            return 0;
        case WM_TIMER:
            onTimer(wp);
            return 0;
        case WM_COMMAND:
            result = onCommand(wp, lp);
            break;
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            result = onCtlColour(wp, lp);
            break;
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, d_->back);
            return 1;
        }
        case WM_PAINT:
            onPaint();
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
            onMouse(msg, lp);
            return 0;
        case WM_CLOSE:
            // The owner decides; it takes the window away through destroy().
            invoke(d_->closeRequest);
            return 0;
        case WM_GETDPISCALEDSIZE:
            result = onGetDpiScaledSize(wp, lp);
            break;
        case WM_DPICHANGED:
            onDpiChanged(wp, lp);
            return 0;
        default:
            if (messageHook && messageHook(msg, wp, lp)) return 0;
            break;
    }
    return result ? *result : DefWindowProcW(hwnd, msg, wp, lp);
}

void Win32Window::onTimer(WPARAM id) {
    Impl& d = *d_;
    const auto it = d.byTimer.find(id);
    if (it != d.byTimer.end()) {
        invoke(it->second->as<Win32Timer>()->tick);
        invoke(ui_.afterTick);
    }
}

std::optional<LRESULT> Win32Window::onCommand(WPARAM wp, LPARAM lp) {
    Impl& d = *d_;
    HWND child = reinterpret_cast<HWND>(lp);
    const UINT code = HIWORD(wp);
    if (!child) {
        onDialogKey(LOWORD(wp));
        return 0;
    }
    for (auto& [list, field] : d.filters)
        if (child == field->edit() && code == EN_CHANGE) field->controlChanged();
    const auto it = d.byChild.find(child);
    if (it == d.byChild.end()) return std::nullopt;
    const Impl::Control& c = *it->second;
    if (auto* b = c.as<Win32Button>(); b && code == BN_CLICKED) invoke(b->click);
    if (auto* l = c.as<Win32ListBox>(); l && code == LBN_SELCHANGE) invoke(l->click);
    if (auto* t = c.as<Win32TextBox>(); t && code == EN_CHANGE) t->controlChanged();
    return 0;
}

// Enter and Esc, from the dialog keys of the message loop.
void Win32Window::onDialogKey(WORD command) {
    for (const ControlSpec& c : form_.controls)
        if (c.kind == ControlKind::Button &&
            ((command == IDOK && c.defaultButton) || (command == IDCANCEL && c.cancelButton))) {
            invoke(d_->controls[c.name].as<Win32Button>()->click);
            return;
        }
}

std::optional<LRESULT> Win32Window::onCtlColour(WPARAM wp, LPARAM lp) {
    Impl& d = *d_;
    const auto it = d.byChild.find(reinterpret_cast<HWND>(lp));
    if (it == d.byChild.end()) return std::nullopt;
    const Impl::Control& c = *it->second;
    HDC dc = reinterpret_cast<HDC>(wp);
    if (c.layout->fore) SetTextColor(dc, toColor(*c.layout->fore));
    if (!c.backBrush) return std::nullopt;
    SetBkColor(dc, toColor(*c.layout->back));
    return reinterpret_cast<LRESULT>(c.backBrush);
}

// Labels, lines and the image are drawn on the window's own surface.
void Win32Window::onPaint() {
    Impl& d = *d_;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    for (const ControlSpec& c : form_.controls) {
        const Impl::Control& control = d.controls[c.name];
        if (c.kind == ControlKind::Label)
            paintLabel(dc, control, d);
        else if (c.kind == ControlKind::Line)
            paintLine(dc, c, control.rect);
        else if (c.kind == ControlKind::Image && ui_.iconBig_)
            paintImage(dc, control.rect, ui_.iconBig_);
    }
    EndPaint(hwnd_, &ps);
}

// A move or click over a label that takes it goes to the label; other moves
// are moves over the window.
void Win32Window::onMouse(UINT msg, LPARAM lp) {
    Impl& d = *d_;
    const POINT pt = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    for (auto& [name, c] : d.controls) {
        const auto* l = c.as<DrawnLabel>();
        if (!l || !PtInRect(&c.rect, pt)) continue;
        Handler h = msg == WM_MOUSEMOVE ? l->move : l->click;
        if (h) {
            invoke(h);
            return;
        }
    }
    if (msg == WM_MOUSEMOVE) invoke(d.mouseMove);
}

// The size that WM_DPICHANGED then suggests.
std::optional<LRESULT> Win32Window::onGetDpiScaledSize(WPARAM wp, LPARAM lp) {
    const UINT dpi = static_cast<UINT>(wp);
    if (!dpi || !lp) return std::nullopt;
    *reinterpret_cast<SIZE*>(lp) = outerSizeAt(hwnd_, form_, d_->dpi, dpi);
    return TRUE;
}

// On a monitor of another DPI: the suggested rectangle, then every control
// and font again from the layout's twips.
void Win32Window::onDpiChanged(WPARAM wp, LPARAM lp) {
    const RECT* r = reinterpret_cast<const RECT*>(lp);
    const UINT dpi = HIWORD(wp) ? HIWORD(wp) : dpiOf(hwnd_);
    SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    placeAgain(hwnd_, *d_, dpi);
}

// ---- the windowing system -------------------------------------------------

Win32Ui::Win32Ui() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    LoadLibraryW(L"Msftedit.dll");
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Win32Window::proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = loadProgramIcon(false, GetDpiForSystem());
    wc.hIconSm = loadProgramIcon(true, GetDpiForSystem());
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
    WNDCLASSEXW oc = {};
    oc.cbSize = sizeof oc;
    oc.lpfnWndProc = &Win32Ui::ownerProc;
    oc.hInstance = instance;
    oc.lpszClassName = kOwnerClass;
    RegisterClassExW(&oc);
    owner_ = CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (owner_) SetWindowLongPtrW(owner_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Ui::~Win32Ui() {
    if (owner_) DestroyWindow(owner_);
}

std::unique_ptr<Window> Win32Ui::createWindow(const FormSpec& form) {
    return std::make_unique<Win32Window>(*this, form);
}

double Win32Ui::twipsPerPixelX() const { return twipsPerPixelAt(GetDpiForSystem()); }

bool Win32Ui::dispatch(MSG& msg) {
    HWND top = GetAncestor(msg.hwnd, GA_ROOT);
    const auto w =
        std::find_if(windows_.begin(), windows_.end(), [top](const Win32Window* each) { return each->hwnd() == top; });
    // Ctrl+F is the window's before any control, an edit box too, sees it.
    if (top && w != windows_.end() && ((*w)->takeFind(msg) || IsDialogMessageW(top, &msg))) return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void Win32Ui::processEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        dispatch(msg);
    }
}

void Win32Ui::runSoon(Handler handler) {
    soon_.push_back(std::move(handler));
    wake();
}

// One wake-up stands for every waiting handler: a posted message, or while
// input or painting waits a timer, whose message comes after those.
void Win32Ui::wake() {
    if (woken_ || soon_.empty() || !owner_) return;
    woken_ = true;
    if (HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT)))
        SetTimer(owner_, kRunSoonTimer, USER_TIMER_MINIMUM, nullptr);
    else
        PostMessageW(owner_, kRunSoon, 0, 0);
}

// The handlers that were waiting when the wake-up came; those they ask for
// wait for the next one.
void Win32Ui::runWaiting() {
    KillTimer(owner_, kRunSoonTimer);
    woken_ = false;
    std::deque<Handler> now;
    now.swap(soon_);
    for (const Handler& h : now) callGuarded("run soon", h);
    wake();
}

LRESULT CALLBACK Win32Ui::ownerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* ui = reinterpret_cast<Win32Ui*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (ui && (msg == kRunSoon || (msg == WM_TIMER && wp == kRunSoonTimer))) {
        ui->runWaiting();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void Win32Ui::endProcess() {
    if (ended_) return;
    ended_ = true;
    PostQuitMessage(0);
}

void Win32Ui::beep() { MessageBeep(MB_OK); }

int Win32Ui::run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) dispatch(msg);
    return 0;
}

Win32Window* Win32Ui::window(std::string_view formName) const {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
        if ((*it)->formName() == formName) return *it;
    return nullptr;
}

}  // namespace stock::win32
