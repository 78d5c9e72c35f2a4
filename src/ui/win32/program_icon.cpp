#include "ui/win32/program_icon.h"

namespace stock::win32 {

HICON loadProgramIcon(int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON, size,
                                         size, LR_DEFAULTCOLOR));
}

HICON loadProgramIcon(bool small, UINT dpi) {
    return loadProgramIcon(GetSystemMetricsForDpi(small ? SM_CXSMICON : SM_CXICON, dpi ? dpi : 96));
}

}  // namespace stock::win32
