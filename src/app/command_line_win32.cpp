#include "app/command_line_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/program.h"
#include "os/windows/win32_text.h"

namespace stock::win32 {
namespace {

constexpr std::string_view kUsage =
    "Usage: stockkun.exe [--autostart on|off | --keep-history on|off | --help | --version]\n"
    "Collects the text that passes through the clipboard into a history (すとっくん).\n"
    "\n"
    "  --autostart on      start stockkun at logon: the \"stockkun\" value under\n"
    "                      HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\n"
    "  --autostart off     no longer start it at logon: removes that value\n"
    "  --keep-history on   keep the history between runs, in\n"
    "                      %LOCALAPPDATA%\\stockkun\\history.sqlite3\n"
    "  --keep-history off  keep nothing between runs: removes that file\n"
    "  -h, --help          show this help and exit\n"
    "  --version           show the version and exit\n";

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

int autostart(bool on, std::ostream& out, std::ostream& err) {
    if (on) {
        std::wstring path(32768, L'\0');
        path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
        const std::wstring value = L"\"" + path + L"\"";
        const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        if (RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"stockkun", REG_SZ, value.c_str(), bytes) != ERROR_SUCCESS) {
            err << "stockkun: cannot write the \"stockkun\" value of HKEY_CURRENT_USER\\" << wideToUtf8(kRunKey)
                << "\n";
            return 1;
        }
        out << "Autostart on: stockkun will start when you log on (a running stockkun is left as it is).\n";
        return 0;
    }
    const LSTATUS s = RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"stockkun");
    if (s != ERROR_SUCCESS && s != ERROR_FILE_NOT_FOUND) {
        err << "stockkun: cannot remove the \"stockkun\" value of HKEY_CURRENT_USER\\" << wideToUtf8(kRunKey) << "\n";
        return 1;
    }
    out << (s == ERROR_SUCCESS ? "Autostart off: stockkun will no longer start when you log on.\n"
                               : "Autostart off: it was not on; nothing removed.\n");
    return 0;
}

// Writes text where the stream leads; false when it leads nowhere.
bool write(DWORD which, const std::string& text) {
    if (text.empty()) return true;
    HANDLE h = GetStdHandle(which);
    if (h == nullptr || h == INVALID_HANDLE_VALUE || GetFileType(h) == FILE_TYPE_UNKNOWN) return false;
    DWORD mode = 0, done = 0;
    if (GetConsoleMode(h, &mode)) {
        const std::wstring w = utf8ToWide(text);
        return WriteConsoleW(h, w.data(), static_cast<DWORD>(w.size()), &done, nullptr) != 0;
    }
    return WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) != 0;
}

}  // namespace

std::optional<int> handleCommandLine() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc <= 1) {
        LocalFree(argv);
        return std::nullopt;
    }
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(wideToUtf8(argv[i]));
    LocalFree(argv);
    std::ostringstream out, err;
    const OptionActions actions{kUsage, [&](bool on) { return autostart(on, out, err); },
                                [&](bool on) { return keepHistory(on, out, err); }};
    const auto status = runOptions(args, actions, out, err);
    if (!status) return std::nullopt;
    // Started from a console: the answer goes there.
    if (GetStdHandle(STD_OUTPUT_HANDLE) == nullptr) AttachConsole(ATTACH_PARENT_PROCESS);
    if (write(STD_OUTPUT_HANDLE, out.str()) && write(STD_ERROR_HANDLE, err.str())) return status;
    const std::wstring text = utf8ToWide(out.str() + err.str());
    MessageBoxW(nullptr, text.c_str(), reinterpret_cast<const wchar_t*>(kProgramTitle),
                MB_OK | (*status == 0 ? MB_ICONINFORMATION : MB_ICONERROR));
    return status;
}

}  // namespace stock::win32
