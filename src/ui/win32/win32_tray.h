#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>

#include "core/main_window/tray_record.h"
#include "core/ports/tray.h"

namespace stock::win32 {

class Win32Ui;

// The notification-area icon of the main window, registered with
// Shell_NotifyIconA from the program's tray record. The icon is added again
// when the taskbar is created anew (Explorer restarted).
class Win32TrayIcon final : public TrayIcon {
public:
    explicit Win32TrayIcon(Win32Ui& ui) : ui_(ui) {}
    ~Win32TrayIcon() override;
    void add(const std::u16string& tip, std::function<void(int message)> onEvent) override;
    void remove() override;

    // The platform's own structure from the record. A 64-bit process has
    // its own layout (8-byte handles, aligned); handles travel as their 32
    // significant bits and are sign-extended back. The callback comes as a
    // message of its own, so a pointer moving over the window is never taken
    // for a tray event.
    static NOTIFYICONDATAA nativeRecord(const TrayRecord& record);
    static constexpr UINT kCallback = WM_APP + 1;

private:
    Win32Ui& ui_;
    TrayRecord record_{};
    bool added_ = false;
    std::function<void(int)> onEvent_;
    HWND hwnd_ = nullptr;
};

}  // namespace stock::win32
