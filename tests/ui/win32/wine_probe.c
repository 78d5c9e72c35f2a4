/* A Windows-side helper for the Wine tests, cross-built by them:
 *   wine_probe get FILE    writes the clipboard's CF_UNICODETEXT, as UTF-16LE
 *                          without its NUL, to FILE (exit 1 without text)
 *   wine_probe put FILE    puts FILE's UTF-16LE bytes on the clipboard as
 *                          CF_UNICODETEXT, untouched by the X bridge
 *   wine_probe secret exclude|nohistory TEXT
 *                          owns the clipboard with TEXT marked a secret
 *                          (ExcludeClipboardContentFromMonitorProcessing,
 *                          or CanIncludeInClipboardHistory = 0), the text
 *                          rendered only when asked for; prints "owner"
 *                          once it holds the clipboard and "text asked" at
 *                          each request of the text; ends when another
 *                          program takes the clipboard
 *   wine_probe             started without arguments: leaves the file
 *                          "<its own path>.ran" behind, which holds "show N"
 *                          with the window style it was started with (-1:
 *                          none given), and ends
 */
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

static int write_file(const wchar_t* path, const void* data, size_t size) {
    FILE* f = _wfopen(path, L"wb");
    if (!f) return 2;
    const int ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok ? 0 : 2;
}

static int open_clipboard(HWND owner) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (OpenClipboard(owner)) return 1;
        Sleep(20);
    }
    return 0;
}

static int get_text(const wchar_t* path) {
    if (!open_clipboard(NULL)) return 2;
    int rc = 1;
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* p = h ? GlobalLock(h) : NULL;
    if (p) {
        const size_t limit = GlobalSize(h) / sizeof(wchar_t);
        size_t n = 0;
        while (n < limit && p[n]) ++n;
        rc = write_file(path, p, n * sizeof(wchar_t));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return rc;
}

static int put_text(const wchar_t* path) {
    FILE* f = _wfopen(path, L"rb");
    if (!f) return 2;
    static char bytes[1 << 16];
    const size_t size = fread(bytes, 1, sizeof bytes - 2, f);
    fclose(f);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size + 2);
    char* p = h ? GlobalLock(h) : NULL;
    if (!p) return 2;
    memcpy(p, bytes, size);
    p[size] = p[size + 1] = 0;
    GlobalUnlock(h);
    if (!open_clipboard(NULL)) return 2;
    EmptyClipboard();
    const int ok = SetClipboardData(CF_UNICODETEXT, h) != NULL;
    CloseClipboard();
    return ok ? 0 : 2;
}

static const wchar_t* secret;

static LRESULT CALLBACK secret_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_RENDERFORMAT && wp == CF_UNICODETEXT) {
        puts("text asked");
        fflush(stdout);
        const size_t size = (wcslen(secret) + 1) * sizeof(wchar_t);
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
        if (h) {
            memcpy(GlobalLock(h), secret, size);
            GlobalUnlock(h);
            if (!SetClipboardData(CF_UNICODETEXT, h)) GlobalFree(h);
        }
        return 0;
    }
    if (msg == WM_DESTROYCLIPBOARD) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

static int own_secret(const wchar_t* mark, const wchar_t* text) {
    secret = text;
    WNDCLASSW wc = {0};
    wc.lpfnWndProc = secret_proc;
    wc.lpszClassName = L"wine_probe";
    RegisterClassW(&wc);
    HWND w = CreateWindowW(L"wine_probe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    if (!w || !open_clipboard(w)) return 2;
    EmptyClipboard();
    const int exclude = wcscmp(mark, L"exclude") == 0;
    HGLOBAL zero = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DWORD));
    SetClipboardData(RegisterClipboardFormatW(exclude ? L"ExcludeClipboardContentFromMonitorProcessing"
                                                      : L"CanIncludeInClipboardHistory"),
                     zero);
    SetClipboardData(CF_UNICODETEXT, NULL); /* rendered when asked for */
    CloseClipboard();
    puts("owner");
    fflush(stdout);
    MSG m;
    while (GetMessageW(&m, NULL, 0, 0) > 0) DispatchMessageW(&m);
    return 0;
}

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && wcscmp(argv[1], L"get") == 0) return get_text(argv[2]);
    if (argc == 3 && wcscmp(argv[1], L"put") == 0) return put_text(argv[2]);
    if (argc == 4 && wcscmp(argv[1], L"secret") == 0) return own_secret(argv[2], argv[3]);
    if (argc != 1) return 2;
    wchar_t self[MAX_PATH + 8];
    const DWORD n = GetModuleFileNameW(NULL, self, MAX_PATH);
    if (!n || n >= MAX_PATH) return 2;
    wcscat(self, L".ran");
    STARTUPINFOW si;
    GetStartupInfoW(&si);
    char said[32];
    const int length =
        snprintf(said, sizeof said, "show %d", (si.dwFlags & STARTF_USESHOWWINDOW) ? (int)si.wShowWindow : -1);
    return write_file(self, said, (size_t)length);
}
