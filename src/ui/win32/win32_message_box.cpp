#include "ui/win32/win32_message_box.h"

#include <windows.h>

#include "os/windows/win32_text.h"
#include "ui/win32/win32_ui.h"

namespace stock::win32 {

void Win32MessageDialog::show(const std::u16string& prompt, Window* owner) {
    auto* w = dynamic_cast<Win32Window*>(owner);
    MessageBoxW(w ? w->hwnd() : nullptr, toWide(prompt).c_str(), toWide(title_).c_str(),
                MB_OK | MB_TOPMOST | MB_SETFOREGROUND | (w ? MB_APPLMODAL : MB_TASKMODAL));
}

}  // namespace stock::win32
