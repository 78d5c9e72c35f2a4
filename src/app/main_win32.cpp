// すとっくん on Windows: collects the text that passes through the clipboard.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "app/command_line_win32.h"
#include "app/program.h"
#include "core/guard/guard.h"
#include "ui/win32/program_icon.h"
#include "os/windows/win32_clipboard.h"
#include "os/windows/win32_instance_lock.h"
#include "ui/win32/win32_message_box.h"
#include "os/windows/win32_registry.h"
#include "os/windows/win32_shell.h"
#include "ui/win32/win32_tray.h"
#include "ui/win32/win32_ui.h"
#include "os/windows/win32_user_name.h"
#include "os/store/sqlite_history_store.h"

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
    // --help, --version, --autostart, --keep-history: answered before any window or lock.
    if (const auto status = stock::win32::handleCommandLine()) return *status;
    // The manifest asks for per-monitor DPI awareness; this holds where it
    // is not read.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    // A failure that a handler swallows is told to the debugger.
    stock::setFailureSink([](std::string_view line) { OutputDebugStringA(std::string(line).c_str()); });

    stock::win32::Win32Ui ui;
    ui.afterTick = tickTrace();
    // The window's and the tray's icon, at the sizes of the system's DPI.
    ui.setIcon(stock::win32::loadProgramIcon(false, GetDpiForSystem()),
               stock::win32::loadProgramIcon(true, GetDpiForSystem()));
    stock::win32::Win32Clipboard clipboard;
    stock::win32::Win32InstanceLock lock;
    stock::win32::Win32UserName userName;
    stock::win32::Win32Shell shell;
    stock::win32::Win32Programs programs;
    stock::win32::Win32Registry registry;
    stock::win32::Win32MessageDialog messageBox(stock::kProgramTitle);
    stock::win32::Win32TrayIcon tray(ui);
    // On while its file is there (--keep-history on); it outlives the program.
    std::optional<stock::store::SqliteHistoryStore> store;
    if (const auto place = stock::store::defaultPlace()) store.emplace(place->file);
    stock::Program program(
        {ui, clipboard, lock, userName, shell, programs, registry, messageBox, &tray, store ? &*store : nullptr});
    // Every window hears of the session's end; the first one ends the program.
    ui.onSessionEnd([&program] { program.endSession(); });
    if (!program.start()) return 0;
    return ui.run();
}
