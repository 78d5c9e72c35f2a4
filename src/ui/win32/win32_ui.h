// Windows and controls over the Windows API, built from the layout tables.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/controls.h"

namespace stock::win32 {

class Win32Window;

class Win32Ui final : public Ui {
public:
    Win32Ui();
    ~Win32Ui() override;
    std::unique_ptr<Window> createWindow(const FormSpec& form) override;
    // The primary monitor's horizontal twips per pixel (15 at 96 DPI).
    double twipsPerPixelX() const override;
    void processEvents() override;
    void runSoon(Handler handler) override;
    void endProcess() override;
    void beep() override;

    bool endRequested() const { return ended_; }
    // Runs the message loop until the process is asked to end; the exit status.
    int run();
    // The window last created from the named layout, while it lives.
    Win32Window* window(std::string_view formName) const;
    void setIcon(HICON big, HICON small) { iconBig_ = big, iconSmall_ = small; }
    // Runs when the session ends (WM_ENDSESSION), before the system ends
    // the process.
    void onSessionEnd(Handler handler) { sessionEnd_ = std::move(handler); }
    HICON icon() const { return iconSmall_; }
    // A test hook: runs after every tick of a window's timer has finished.
    std::function<void()> afterTick;

private:
    friend class Win32Window;
    static LRESULT CALLBACK ownerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    bool dispatch(MSG& msg);
    // Asks the event loop to run the waiting handlers of runSoon, once.
    void wake();
    void runWaiting();
    HWND owner_ = nullptr;  // hidden: windows it owns have no taskbar button
    HICON iconBig_ = nullptr, iconSmall_ = nullptr;
    std::vector<Win32Window*> windows_;
    Handler sessionEnd_;
    std::deque<Handler> soon_;  // what runSoon was given, in order
    bool woken_ = false;        // a message or timer stands for soon_
    bool ended_ = false;
};

// A top-level window: its controls are child windows, its labels, line and
// image are drawn on its own surface.
class Win32Window final : public Window {
public:
    Win32Window(Win32Ui& ui, const FormSpec& form);
    ~Win32Window() override;

    HWND hwnd() const { return hwnd_; }
    const std::string& formName() const { return form_.name; }
    // Messages the window does not know go first to this hook (the tray's).
    std::function<bool(UINT, WPARAM, LPARAM)> messageHook;

    TextBox& textBox(std::string_view name) override;
    ListBox& listBox(std::string_view name) override;
    Button& button(std::string_view name) override;
    Label& label(std::string_view name) override;
    MenuEntry& menuEntry(std::string_view name) override;
    Timer& timer(std::string_view name) override;
    FilterField& filterField(std::string_view listName) override;

    void show() override;
    void hide() override;
    bool visible() const override;
    void setForeground() override;
    bool setTopmost(bool topmost) override;
    bool topmost() const override;

    int outerHeight() const override;
    void setOuterHeight(int twips) override;
    int top() const override;
    int left() const override;
    void setTop(int twips) override;
    void setLeft(int twips) override;

    void popupMenu(std::string_view entry) override;
    void onCloseRequest(Handler handler) override;
    void onMouseMove(Handler handler) override;
    void onFind(Handler handler) override;
    void destroy() override;
    // Ctrl+F pressed in the window, when it has a handler for it: runs it
    // and answers true (the key goes no further).
    bool takeFind(const MSG& msg);

    struct Impl;

private:
    friend class Win32Ui;
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);

    // The steps of building the window from its layout.
    void createNativeWindow(const FormSpec& form);
    void buildControls(const FormSpec& form);
    void addControl(const ControlSpec& control, UINT_PTR id);
    void buildMenu(const FormSpec& form);

    // The messages `handle` passes on; nothing answered: the default
    // window procedure's answer.
    void onTimer(WPARAM id);
    std::optional<LRESULT> onCommand(WPARAM wp, LPARAM lp);
    void onDialogKey(WORD command);
    std::optional<LRESULT> onCtlColour(WPARAM wp, LPARAM lp);
    void onPaint();
    void onMouse(UINT msg, LPARAM lp);
    std::optional<LRESULT> onGetDpiScaledSize(WPARAM wp, LPARAM lp);
    void onDpiChanged(WPARAM wp, LPARAM lp);

    Win32Ui& ui_;
    FormSpec form_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<Impl> d_;
};

}  // namespace stock::win32
