#include "os/windows/win32_clipboard.h"

#include <cstring>
#include <string>
#include <utility>

namespace stock::win32 {
namespace {

// Opens the clipboard, trying again for a short while when another program
// holds it open.
bool openClipboard(HWND owner) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(5);
    }
    return false;
}

struct Closer {
    ~Closer() { CloseClipboard(); }
};

bool isSecret() {
    static const UINT exclude = RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
    static const UINT history = RegisterClipboardFormatW(L"CanIncludeInClipboardHistory");
    if (exclude && IsClipboardFormatAvailable(exclude)) return true;
    if (history && IsClipboardFormatAvailable(history)) {
        HANDLE h = GetClipboardData(history);
        if (!h || GlobalSize(h) < sizeof(DWORD)) return false;
        const void* p = GlobalLock(h);
        if (!p) return false;
        DWORD value = 1;
        std::memcpy(&value, p, sizeof value);
        GlobalUnlock(h);
        return value == 0;
    }
    return false;
}

}  // namespace

std::optional<std::uint64_t> Win32Clipboard::changeCount() { return GetClipboardSequenceNumber(); }

std::optional<ClipboardText> Win32Clipboard::readText() { return read(false); }

std::optional<SharedText> Win32Clipboard::readTextToPaste() { return textOf(read(true)); }

std::optional<ClipboardText> Win32Clipboard::read(bool secretsToo) {
    if (!openClipboard(owner_)) return std::nullopt;
    Closer closer;
    if (!secretsToo && isSecret()) return ClipboardText{SharedText(), true};
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return ClipboardText{};
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    if (!h) return std::nullopt;
    const auto* p = static_cast<const char16_t*>(GlobalLock(h));
    if (!p) return std::nullopt;
    // The text ends at its NUL, and never beyond the memory it came in.
    const std::size_t limit = GlobalSize(h) / sizeof(char16_t);
    std::size_t n = 0;
    while (n < limit && p[n] != 0) ++n;
    std::u16string text(p, n);
    GlobalUnlock(h);
    return ClipboardText{SharedText(std::move(text))};
}

bool Win32Clipboard::writeText(const SharedText& text) {
    const std::u16string_view t = text.view();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (t.size() + 1) * sizeof(char16_t));
    if (!h) return false;
    auto* p = static_cast<char16_t*>(GlobalLock(h));
    if (!p) {
        GlobalFree(h);
        return false;
    }
    if (!t.empty()) std::memcpy(p, t.data(), t.size() * sizeof(char16_t));
    p[t.size()] = 0;
    GlobalUnlock(h);
    if (!openClipboard(owner_)) {
        GlobalFree(h);
        return false;
    }
    Closer closer;
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, h)) {
        GlobalFree(h);
        return false;
    }
    return true;
}

}  // namespace stock::win32
