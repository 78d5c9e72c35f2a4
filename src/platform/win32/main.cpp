// すとっくん on Windows: collects the text that passes through the clipboard.
#include <windows.h>

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

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The manifest asks for per-monitor DPI awareness; this holds where it
    // is not read.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

    stock::win32::Win32Ui ui;
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
    frmClipboard.load();
    if (ui.endRequested()) return 0;
    return ui.run();
}
