// すとっくん on Windows: collects the text that passes through the clipboard.
#include <windows.h>

#include <functional>
#include <string>

#include "about/frm_about.h"
#include "main_window/frm_clipboard.h"
#include "main_window/lifetime.h"
#include "platform/win32/program_icon.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_instance_lock.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_tray.h"
#include "platform/win32/win32_ui.h"
#include "platform/win32/win32_user_name.h"

namespace {

// A test hook: when STOCKKUN_TRACE_TICKS names a file, every finished tick
// of the clipboard timer appends a line to it, so that a test can wait for
// the program's own ticks instead of a fixed time.
std::function<void()> tickTrace() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"STOCKKUN_TRACE_TICKS", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return [file = std::wstring(path, n)] {
        HANDLE h = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        WriteFile(h, "tick\n", 5, &written, nullptr);
        CloseHandle(h);
    };
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The manifest asks for per-monitor DPI awareness; this holds where it
    // is not read.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

    stock::win32::Win32Ui ui;
    ui.afterTick = tickTrace();
    // The window's and the tray's icon, at the sizes of the system's DPI.
    ui.setIcon(stock::win32::loadProgramIcon(false, GetDpiForSystem()),
               stock::win32::loadProgramIcon(true, GetDpiForSystem()));
    stock::win32::Win32Clipboard clipboard;
    stock::win32::Win32InstanceLock lock;
    stock::Lifetime lifetime(ui);
    stock::win32::Win32UserName userName;
    stock::win32::Win32Shell shell;
    stock::win32::Win32Programs programs;
    stock::win32::Win32Registry registry;
    stock::win32::Win32MessageDialog messageBox(u"すとっくん");
    stock::FrmAbout frmAbout({ui, lifetime, userName, shell, programs, registry, messageBox});
    stock::win32::Win32TrayIcon tray(ui);
    stock::FrmClipboard frmClipboard({ui, clipboard, lock, lifetime, &frmAbout, &tray});
    // Every window hears of the session's end; the first one ends the program.
    ui.onSessionEnd([&frmClipboard] { frmClipboard.endSession(); });
    frmClipboard.load();
    if (ui.endRequested()) return 0;
    return ui.run();
}
