// A Windows clipboard owner for the tests: puts TEXT on the clipboard with a
// mark that asks clipboard monitors to leave it alone, and stays its owner
// until another program takes the clipboard. The text itself is rendered
// only when asked for, and each such request is reported.
// Usage: secret_owner exclude|nohistory TEXT
// Prints "owner" once it holds the clipboard, "text asked" for each request
// of the text.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::wstring text;

LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_RENDERFORMAT: {
            if (wp != CF_UNICODETEXT) return 0;
            std::puts("text asked");
            std::fflush(stdout);
            HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
            if (!h) return 0;
            std::memcpy(GlobalLock(h), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
            GlobalUnlock(h);
            if (!SetClipboardData(CF_UNICODETEXT, h)) GlobalFree(h);
            return 0;
        }
        case WM_DESTROYCLIPBOARD:
            PostQuitMessage(0);  // another program took the clipboard
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

HGLOBAL dword(DWORD value) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, sizeof value);
    if (h) {
        std::memcpy(GlobalLock(h), &value, sizeof value);
        GlobalUnlock(h);
    }
    return h;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const bool exclude = std::wcscmp(argv[1], L"exclude") == 0;
    text = argv[2];
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = L"secret_owner";
    RegisterClassW(&wc);
    HWND w = CreateWindowW(L"secret_owner", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!w) return 1;
    int tries = 0;
    while (!OpenClipboard(w)) {  // another program may hold it open a moment
        if (++tries == 200) {
            std::fputs("the clipboard stayed busy\n", stderr);
            return 1;
        }
        Sleep(10);
    }
    EmptyClipboard();
    const UINT mark = RegisterClipboardFormatW(exclude ? L"ExcludeClipboardContentFromMonitorProcessing"
                                                       : L"CanIncludeInClipboardHistory");
    SetClipboardData(mark, dword(0));
    SetClipboardData(CF_UNICODETEXT, nullptr);  // rendered when asked for
    CloseClipboard();
    std::puts("owner");
    std::fflush(stdout);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
    return 0;
}
