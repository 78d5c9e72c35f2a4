#include "os/windows/win32_shell.h"

#include <windows.h>
#include <shellapi.h>

#include <system_error>

#include "os/windows/win32_text.h"

namespace stock::win32 {

void Win32Shell::open(const std::u16string& address) {
    const std::string file = toAcp(address);
    ShellExecuteA(GetDesktopWindow(), "open", file.c_str(), nullptr, "", SW_SHOW);
}

bool Win32Programs::isFile(const std::u16string& path) {
    if (path.empty()) return false;
    const DWORD a = GetFileAttributesW(toWide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

void Win32Programs::start(const std::u16string& path) {
    if (path.empty()) throw std::system_error(ERROR_FILE_NOT_FOUND, std::system_category(), "no program");
    const std::wstring app = toWide(path);
    // The program's own name, quoted, is its first argument.
    std::wstring commandLine = L"\"" + app + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(app.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "CreateProcessW");
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

}  // namespace stock::win32
