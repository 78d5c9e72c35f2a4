#include "ui/win32/win32_tray.h"

#include <shellapi.h>

#include <cstring>

#include "os/windows/win32_text.h"
#include "ui/win32/win32_ui.h"

namespace stock::win32 {
namespace {

template <typename Handle>
Handle fromField(std::uint32_t v) {
    return reinterpret_cast<Handle>(static_cast<LONG_PTR>(static_cast<std::int32_t>(v)));
}

}  // namespace

NOTIFYICONDATAA Win32TrayIcon::nativeRecord(const TrayRecord& record) {
    NOTIFYICONDATAA n = {};
    n.cbSize = NOTIFYICONDATAA_V1_SIZE;
    n.hWnd = fromField<HWND>(trayRecordField(record, 4));
    n.uID = trayRecordField(record, 8);
    n.uFlags = trayRecordField(record, 12);
    n.uCallbackMessage = kCallback;
    n.hIcon = fromField<HICON>(trayRecordField(record, 20));
    // 64 bytes here; the record's tip always ends inside them.
    std::memcpy(n.szTip, record.data() + kTrayTipOffset, sizeof n.szTip - 1);
    return n;
}

Win32TrayIcon::~Win32TrayIcon() { remove(); }

void Win32TrayIcon::add(const std::u16string& tip, std::function<void(int)> onEvent) {
    Win32Window* window = ui_.window("frmClipboard");
    if (!window || !window->hwnd()) return;
    hwnd_ = window->hwnd();
    onEvent_ = std::move(onEvent);
    std::u16string withNul = tip;
    withNul.push_back(u'\0');
    const auto handle32 = [](const void* h) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(h)); };
    record_ = buildTrayRecord(handle32(hwnd_), handle32(ui_.icon()), toAcp(withNul));
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    window->messageHook = [this](UINT msg, WPARAM, LPARAM lp) {
        if (msg == kCallback) {
            if (onEvent_) onEvent_(static_cast<int>(LOWORD(lp)));
            return true;
        }
        if (msg == taskbarCreated && added_) {
            NOTIFYICONDATAA n = nativeRecord(record_);
            Shell_NotifyIconA(NIM_ADD, &n);
            return true;
        }
        return false;
    };
    NOTIFYICONDATAA n = nativeRecord(record_);
    Shell_NotifyIconA(NIM_ADD, &n);
    added_ = true;
}

void Win32TrayIcon::remove() {
    if (!added_) return;
    added_ = false;
    NOTIFYICONDATAA n = nativeRecord(record_);
    Shell_NotifyIconA(NIM_DELETE, &n);
}

}  // namespace stock::win32
