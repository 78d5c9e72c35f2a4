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
 *   wine_probe list FILE   writes what the main window's history shows to
 *                          FILE (UTF-16LE, one line each): "field TEXT" for
 *                          its visible one-line EDIT or "no field", "count
 *                          TEXT" for its visible STATIC, "focus field",
 *                          "focus list" or "focus other", "current N" (the
 *                          list's, -1: none), "box TEXT" (the edit box),
 *                          then "row TEXT" for each row of the list
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

/* What `list` writes, and the main window's children it looks at. */
static wchar_t shown[1 << 15];
static size_t shown_size;
static HWND main_list, field, count, box;

static void say(const wchar_t* what, const wchar_t* text) {
    const int n = _snwprintf(shown + shown_size, sizeof shown / sizeof *shown - shown_size, L"%ls%ls\n", what, text);
    if (n > 0) shown_size += (size_t)n;
}

static BOOL CALLBACK find_parts(HWND child, LPARAM unused) {
    (void)unused;
    wchar_t cls[32];
    if (!GetClassNameW(child, cls, 32)) return TRUE;
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (_wcsicmp(cls, L"ListBox") == 0) main_list = child;
    if (_wcsicmp(cls, L"Edit") == 0 && IsWindowVisible(child)) field = child;
    if (_wcsicmp(cls, L"Static") == 0 && IsWindowVisible(child)) count = child;
    if (_wcsicmp(cls, L"RICHEDIT50W") == 0 && !(style & ES_READONLY)) box = child;
    return TRUE;
}

static BOOL CALLBACK find_main(HWND top, LPARAM found) {
    wchar_t cls[32];
    main_list = field = count = box = NULL;
    if (GetClassNameW(top, cls, 32) && wcscmp(cls, L"stockkun.window") == 0) {
        EnumChildWindows(top, find_parts, 0);
        if (main_list) {
            *(HWND*)found = top;
            return FALSE;
        }
    }
    return TRUE;
}

static void say_text(const wchar_t* what, HWND w) {
    static wchar_t text[4096];
    text[0] = 0;
    SendMessageW(w, WM_GETTEXT, 4096, (LPARAM)text);
    say(what, text);
}

static int list_text(const wchar_t* path) {
    HWND top = NULL;
    EnumWindows(find_main, (LPARAM)&top);
    if (!top) return 1;
    if (field)
        say_text(L"field ", field);
    else
        say(L"no field", L"");
    if (count) say_text(L"count ", count);
    GUITHREADINFO gui;
    memset(&gui, 0, sizeof gui);
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(top, NULL), &gui);
    say(L"focus ", gui.hwndFocus && gui.hwndFocus == field ? L"field" : gui.hwndFocus == main_list ? L"list" : L"other");
    wchar_t number[16];
    _snwprintf(number, 16, L"%d", (int)SendMessageW(main_list, LB_GETCURSEL, 0, 0));
    say(L"current ", number);
    if (box) say_text(L"box ", box);
    static wchar_t row[4096];
    const int rows = (int)SendMessageW(main_list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < rows; ++i) {
        if (SendMessageW(main_list, LB_GETTEXTLEN, (WPARAM)i, 0) >= 4096) return 2;
        row[0] = 0;
        SendMessageW(main_list, LB_GETTEXT, (WPARAM)i, (LPARAM)row);
        say(L"row ", row);
    }
    return write_file(path, shown, shown_size * sizeof(wchar_t));
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
    if (argc == 3 && wcscmp(argv[1], L"list") == 0) return list_text(argv[2]);
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
